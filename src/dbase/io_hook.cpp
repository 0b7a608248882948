#include "dbase/io_hook.h"

namespace zedora::dbase {

namespace {
IoHook& hook()
{
    static IoHook h;
    return h;
}
} // namespace

void setIoHook(IoHook h)
{
    hook() = std::move(h);
}

int callIoHook(IoStep step, const std::string& path)
{
    if (!hook())
        return 0;
    try {
        hook()(step, path);
    } catch (const SimulatedSystemError& e) {
        return e.error;
    }
    return 0;
}

} // namespace zedora::dbase
