#pragma once
#include <stdexcept>
#include <string>

namespace zedora::dbase {

// Every failure of the engine: a damaged file, a missing field, a lock that
// could not be had. The message names the file where one is involved.
class DbfError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The table's production index is missing, damaged or was left half written;
// rebuilding it from the table repairs it.
class IndexDamaged : public DbfError {
public:
    using DbfError::DbfError;
};

// A lock could not be had because another process (on this or another
// computer) holds the table or the record.
class HeldElsewhere : public DbfError {
public:
    using DbfError::DbfError;
};

// The record is being edited elsewhere; worth trying again shortly.
class RecordHeldElsewhere : public HeldElsewhere {
public:
    using HeldElsewhere::HeldElsewhere;
};

} // namespace zedora::dbase
