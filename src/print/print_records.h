#pragma once
// The records a print run walks through: the open student file in its
// current order. The student table adapts to this; tests use a list.
#include "print/placeholders.h"

#include <QString>
#include <cstdint>

namespace zedora {

class PrintRecords : public RecordValues {
public:
    // To the first record of the current order; false for an empty file.
    virtual bool first() = 0;
    // To the next record; false (staying put) at the end.
    virtual bool next() = 0;
    // To the record with this student ID (the ID index), keeping the current
    // order for later moves; false when there is none.
    virtual bool findId(const QString& id) = 0;
    // Where the cursor stands, to put it back after a run.
    virtual std::uint64_t position() const = 0;
    virtual void restore(std::uint64_t position) = 0;
};

} // namespace zedora
