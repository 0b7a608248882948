#pragma once
// A dBase student file as the records of a print run: the table's current
// order, the ID index for selections, the averages D1 to D3 calculated.
#include "data/averages.h"
#include "print/print_records.h"

#include <QHash>

namespace zedora::dbase {
class Table;
}

namespace zedora {

class TablePrintRecords : public PrintRecords {
public:
    TablePrintRecords(dbase::Table& table, AverageDefinitions averages);

    bool hasField(const QString& name) const override;
    QString value(const QString& name) const override;
    int fieldClass(const QString& name) const override;

    bool first() override;
    bool next() override;
    bool findId(const QString& id) override;
    std::uint64_t position() const override;
    void restore(std::uint64_t position) override;

private:
    dbase::Table& table_;
    AverageDefinitions averages_;
};

} // namespace zedora
