#pragma once
// A seam for tests: called before every write and sync the engine makes to
// a table, memo or index file, and before it opens one for writing. A hook
// may throw DbfError (a failing disk), throw SimulatedSystemError (the step
// then fails as if the system had refused it with that errno, and the
// engine reports it as it would the real one) or end the process (a kill at
// that very write). Without a hook nothing happens.
#include <functional>
#include <string>

namespace zedora::dbase {

enum class IoStep { Write, Sync, OpenForWriting };
using IoHook = std::function<void(IoStep step, const std::string& path)>;

struct SimulatedSystemError {
    int error = 0;
};

void setIoHook(IoHook hook);
// Returns 0, or the errno of a SimulatedSystemError the hook threw.
int callIoHook(IoStep step, const std::string& path);

} // namespace zedora::dbase
