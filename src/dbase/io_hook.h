#pragma once
// A seam for tests: called before every write and sync the engine makes to
// a table, memo or index file. A hook may throw DbfError (a failing disk) or
// end the process (a kill at that very write). Without a hook nothing happens.
#include <functional>
#include <string>

namespace zedora::dbase {

enum class IoStep { Write, Sync };
using IoHook = std::function<void(IoStep step, const std::string& path)>;

void setIoHook(IoHook hook);
void callIoHook(IoStep step, const std::string& path);

} // namespace zedora::dbase
