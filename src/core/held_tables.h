#pragma once
// Tables the program keeps open for the whole run (the text-block file) let
// go of their files while an import replaces files of the workspace, so the
// import is not refused because of this very program, and take them back
// afterwards.
#include <functional>
#include <map>

namespace zedora {

class HeldTables {
public:
    // Returns a number for remove().
    int add(std::function<void()> letGo, std::function<void()> takeBack);
    void remove(int id);
    void letGoAll();
    void takeBackAll();

private:
    struct Holder {
        std::function<void()> letGo, takeBack;
    };
    std::map<int, Holder> holders_;
    int next_ = 1;
    int depth_ = 0;
};

// Lets go for the lifetime of the scope.
class TablesLetGo {
public:
    explicit TablesLetGo(HeldTables& tables) : tables_(tables) { tables_.letGoAll(); }
    ~TablesLetGo() { tables_.takeBackAll(); }
    TablesLetGo(const TablesLetGo&) = delete;
    TablesLetGo& operator=(const TablesLetGo&) = delete;

private:
    HeldTables& tables_;
};

} // namespace zedora
