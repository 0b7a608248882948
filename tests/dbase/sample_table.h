#pragma once
// A small table with memos and an index tag, and a hook that makes files
// behave as write-protected, for the tests of opening and file access.
#include "dbase/io_hook.h"
#include "dbase/table.h"

#include <cerrno>
#include <string>
#include <vector>

namespace zedora::test {

// Physical order Clara, Anna, Bernd, Dora (deleted); tag NAME by name.
inline void makeSampleTable(const std::string& path)
{
    using namespace zedora::dbase;
    Table::create(path, {{"NAME", 'C', 10, 0, 0}, {"TEXT", 'M', 10, 0, 0}});
    auto t = Table::open(path, OpenMode::Exclusive);
    t->addIndexTag("NAME", "NAME", false);
    for (const char* name : {"Clara", "Anna", "Bernd", "Dora"}) {
        t->append();
        t->setText("NAME", name);
        t->setMemo(1, std::string("Text von ") + name);
        t->post();
    }
    t->deleteRecord();
}

// The names in the table's current order.
inline std::vector<std::string> namesOf(zedora::dbase::Table& t)
{
    std::vector<std::string> out;
    for (t.first(); !t.eof(); t.next())
        out.push_back(t.text("NAME"));
    return out;
}

inline bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// While it lives, opening a file whose name ends in ext for writing fails
// with error, as the system refuses a write-protected file (EACCES) or one
// on a read-only file system (EROFS); also for root. Counts every write and
// sync the engine still makes.
class RefuseWriting {
public:
    explicit RefuseWriting(std::string ext, int error = EACCES)
    {
        zedora::dbase::setIoHook([this, ext, error](zedora::dbase::IoStep step, const std::string& path) {
            if (step == zedora::dbase::IoStep::OpenForWriting) {
                if (endsWith(path, ext))
                    throw zedora::dbase::SimulatedSystemError{error};
                return;
            }
            written.push_back(path);
        });
    }
    ~RefuseWriting() { zedora::dbase::setIoHook(nullptr); }
    RefuseWriting(const RefuseWriting&) = delete;
    RefuseWriting& operator=(const RefuseWriting&) = delete;

    std::vector<std::string> written;
};

} // namespace zedora::test
