#pragma once
// The private test server of the TOLVO fixture on a free port, started once
// for the tests that need it. A server that cannot start fails the tests
// with its log; they never pass without it.
#include "support/run_program.h"
#include "support/temp_dir.h"

#include <QString>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace zedora::test {

// A port nobody listens on right now.
inline int freePort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0
        && ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

class TolvoServer {
public:
    TolvoServer()
    {
        // The server's own set-up now and then fails on a loaded machine
        // (several test programs start servers at once): a second or third
        // start on a fresh port, with every log kept for the failure.
        for (int attempt = 1; attempt <= 3 && !running_; ++attempt) {
            port_ = freePort();
            const ProgramResult r = runProgram(dir_, script("start-server.sh") + " " + std::to_string(port_));
            running_ = r.code == 0;
            log_ += "--- Start " + std::to_string(attempt) + " (Port " + std::to_string(port_) + "):\n" + r.out + r.err;
        }
    }
    ~TolvoServer()
    {
        if (running_)
            runProgram(dir_, script("stop-server.sh") + " " + std::to_string(port_));
    }
    TolvoServer(const TolvoServer&) = delete;
    TolvoServer& operator=(const TolvoServer&) = delete;

    bool running() const { return running_; }
    const std::string& log() const { return log_; }
    int port() const { return port_; }

private:
    static std::string script(const char* name) { return std::string(ZEDORA_FIXTURES_DIR "/tolvo/") + name; }
    TempDir dir_;
    int port_ = 0;
    bool running_ = false;
    std::string log_;
};

} // namespace zedora::test
