#pragma once
// The open student table as the records of a print run. It walks the rows
// with a cursor of its own, so printing does not move the entry table.
#include "print/print_records.h"

namespace zedora {

class StudentTable;

class StudentPrintRecords : public PrintRecords {
public:
    explicit StudentPrintRecords(const StudentTable& table) : table_(table) {}

    bool hasField(const QString& name) const override;
    QString value(const QString& name) const override;
    int fieldClass(const QString& name) const override;
    bool first() override;
    bool next() override;
    bool findId(const QString& id) override;
    std::uint64_t position() const override { return std::uint64_t(row_); }
    void restore(std::uint64_t position) override { row_ = int(position); }

    // Starts at the table's current row (the single-student run).
    void followCurrentRow();

private:
    const StudentTable& table_;
    int row_ = 0;
};

} // namespace zedora
