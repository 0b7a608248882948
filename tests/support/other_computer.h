#pragma once
// Another computer on the same files, for tests: a forked process that
// works through the table engine only.
#include "dbase/table.h"

#include <QString>

#include <csignal>
#include <functional>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace zedora::test {

inline bool gotoStudent(dbase::Table& t, const char* name)
{
    for (t.first(); !t.eof() && !t.isEmpty(); t.next()) {
        if (t.text("NAME") == name)
            return true;
    }
    return false;
}

// Runs work in a child process, as another computer; returns its exit code.
inline int onOtherComputer(const std::function<void()>& work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 0;
        try {
            work();
        } catch (...) {
            code = 1;
        }
        ::_exit(code);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs work in a child process and tells whether it died by SIGKILL, as a
// kill point in the work makes it do.
inline bool killedIn(const std::function<void()>& work)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        work();
        ::_exit(3); // the kill point was never reached
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

inline void killSelf()
{
    ::kill(::getpid(), SIGKILL);
}

// Another computer that keeps the file open (and, if asked, one record in
// edit) until it is let go.
class HoldingComputer {
public:
    HoldingComputer(const QString& path, const char* editing = nullptr,
                    dbase::OpenMode mode = dbase::OpenMode::Shared)
    {
        if (::pipe(ready_) != 0 || ::pipe(release_) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            char c = 'x';
            std::unique_ptr<dbase::Table> t;
            try {
                t = dbase::Table::open(path.toStdString(), mode);
                if (editing && gotoStudent(*t, editing))
                    t->edit();
            } catch (...) {
                c = 'e';
            }
            if (::write(ready_[1], &c, 1) != 1)
                ::_exit(2);
            ::read(release_[0], &c, 1);
            ::_exit(0);
        }
        char c = 0;
        ok_ = ::read(ready_[0], &c, 1) == 1 && c == 'x';
    }
    ~HoldingComputer() { letGo(); }
    bool ok() const { return ok_; }
    void letGo()
    {
        if (pid_ <= 0)
            return;
        const char c = 'q';
        if (::write(release_[1], &c, 1) != 1)
            ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
        for (int fd : {ready_[0], ready_[1], release_[0], release_[1]})
            ::close(fd);
    }

private:
    int ready_[2] = {-1, -1};
    int release_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool ok_ = false;
};

} // namespace zedora::test
