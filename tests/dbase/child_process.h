#pragma once
// A forked child process for tests of several processes on one table.
#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace zedora::test {

// Runs body in a child process; returns its exit code.
class Child {
public:
    template<typename F>
    explicit Child(F body)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            int code = 0;
            try {
                code = body(fds[1]);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "child: %s\n", e.what());
                code = 99;
            }
            ::_exit(code);
        }
        ::close(fds[1]);
        signal_ = fds[0];
    }
    ~Child()
    {
        if (pid_ > 0 && !waited_)
            wait();
        ::close(signal_);
    }
    // Blocks until the child wrote one byte.
    void awaitReady()
    {
        char c;
        ASSERT_EQ(::read(signal_, &c, 1), 1);
    }
    int wait()
    {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        waited_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
    }

private:
    pid_t pid_ = -1;
    int signal_ = -1;
    bool waited_ = false;
};

inline void ready(int fd)
{
    const char c = 1;
    (void)!::write(fd, &c, 1);
}

} // namespace zedora::test
