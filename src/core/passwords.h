#pragma once
// The two optional passwords of the program, held in plain form for the run.
#include <QString>

namespace zedora {

struct Passwords {
    QString admin;               // upper case, at most 10 characters; empty = none
    QString start;               // upper case, at most 10 characters; empty = none
    bool adminWritable = false;  // whether PW.INI may get the administrator password
};

// Stored form in PW.INI: every character becomes two printable characters.
QString scramblePassword(const QString& plain);
// Inverse of scramblePassword; text that is no scrambled password yields "".
QString unscramblePassword(const QString& stored);

} // namespace zedora
