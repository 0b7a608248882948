#pragma once
// Student files with chosen field values, for the statistics tests.
#include "base/ansi_text.h"
#include "data/student_schema.h"
#include "dbase/table.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <map>
#include <string>
#include <vector>

namespace zedora::test {

using Record = std::map<std::string, std::string>;

inline void writeStudents(const QString& path, const std::vector<Record>& records)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    dbase::Table::create(path.toStdString(), studentFileFields());
    auto t = dbase::Table::open(path.toStdString(), dbase::OpenMode::Exclusive);
    for (const auto& tag : studentIndexTagSpecs())
        t->addIndexTag(tag.name, tag.expression, tag.unique);
    for (const Record& r : records) {
        t->append();
        for (const auto& [field, value] : r)
            t->setText(field, toAnsiStd(QString::fromStdString(value)));
        t->post();
    }
}

} // namespace zedora::test
