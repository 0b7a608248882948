#pragma once
// Fuzz input goes through real files: the engine reads tables from disk.
#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace zedora::fuzz {

inline std::string scratchDir()
{
    static const std::string dir = [] {
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string d = base + "/zedora-fuzz-" + std::to_string(getpid());
        mkdir(d.c_str(), 0700);
        return d;
    }();
    return dir;
}

inline void writeFile(const std::string& path, const void* data, size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
}

} // namespace zedora::fuzz
