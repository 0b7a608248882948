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

void callIoHook(IoStep step, const std::string& path)
{
    if (hook())
        hook()(step, path);
}

} // namespace zedora::dbase
