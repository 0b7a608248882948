#pragma once
// Runs a command line, collecting its standard output, standard error and
// exit code.
#include "support/temp_dir.h"

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace zedora::test {

struct ProgramResult {
    int code = -1;
    std::string out;
    std::string err;
};

// dir holds the file that catches standard error.
inline ProgramResult runProgram(const TempDir& dir, const std::string& commandLine)
{
    const std::string errFile = dir.file("stderr.txt");
    const std::string command = commandLine + " 2>" + errFile;
    ProgramResult r;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return r;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0)
        r.out.append(buf.data(), n);
    const int status = ::pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = readBytes(errFile);
    return r;
}

} // namespace zedora::test
