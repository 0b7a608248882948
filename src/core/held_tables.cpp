#include "core/held_tables.h"

namespace zedora {

int HeldTables::add(std::function<void()> letGo, std::function<void()> takeBack)
{
    const int id = next_++;
    holders_[id] = {std::move(letGo), std::move(takeBack)};
    return id;
}

void HeldTables::remove(int id)
{
    holders_.erase(id);
}

void HeldTables::letGoAll()
{
    // Nested scopes let go once and take back once, at the outermost end.
    if (depth_++ > 0)
        return;
    for (auto& [id, h] : holders_)
        if (h.letGo)
            h.letGo();
}

void HeldTables::takeBackAll()
{
    if (depth_ == 0 || --depth_ > 0)
        return;
    for (auto& [id, h] : holders_)
        if (h.takeBack)
            h.takeBack();
}

} // namespace zedora
