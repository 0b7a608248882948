#pragma once
// A workspace with a class file of ZE-1415-1 and archive files of earlier
// half-years, for the history tests.
#include "archive/statistics_fixture.h"
#include "data/column_layout.h"
#include "data/file_assignments.h"
#include "data/student_table.h"
#include "dbase/table.h"
#include "schoolyear/history_view.h"

#include <QDir>
#include <memory>

namespace zedora::test {

inline QString columnLine(const QString& field, const QString& caption, int width)
{
    return QStringLiteral("%1 %2%3").arg(field, -18).arg(caption, -40).arg(width);
}

// NAME, VORNAME and KLASSE stay out of the history rows.
inline ColumnDescription historyColumns()
{
    return applyColumnLines({columnLine(QStringLiteral("NAME"), QStringLiteral("Name"), 20),
                             columnLine(QStringLiteral("VORNAME"), QStringLiteral("Vorname"), 20),
                             columnLine(QStringLiteral("KLASSE"), QStringLiteral("Klasse"), 5),
                             columnLine(QStringLiteral("DE"), QStringLiteral("Deutsch"), 2),
                             columnLine(QStringLiteral("MA"), QStringLiteral("Mathematik"), 2),
                             columnLine(QStringLiteral("VS1"), QStringLiteral("Versäumt"), 3),
                             columnLine(QStringLiteral("D1"), QStringLiteral("Schnitt"), 5),
                             columnLine(QStringLiteral("TF1"), QStringLiteral("Bemerkung"), 12)},
                            {})
        .description;
}

class HistoryWorkspace {
public:
    TempDir dir;
    QString root = QString::fromStdString(dir.path().string()) + QLatin1Char('/');
    StudentTable table;

    QString classFile(const QString& directory = QStringLiteral("ZE-1415-1")) const
    {
        return root + directory + QStringLiteral("/5A.DBF");
    }
    void writeClass(const std::vector<Record>& records, const QString& directory = QStringLiteral("ZE-1415-1"))
    {
        writeStudents(classFile(directory), records);
        table.open(classFile(directory));
    }
    void writeArchive(const QString& label, const std::vector<Record>& records)
    {
        writeStudents(root + QStringLiteral("ARCHIV/A") + label + QStringLiteral(".DBF"), records);
    }
    // An archive of another layout: only the fields named.
    void writeNarrowArchive(const QString& label, const QStringList& fields, const std::vector<Record>& records)
    {
        QDir().mkpath(root + QStringLiteral("ARCHIV"));
        const std::string path = (root + QStringLiteral("ARCHIV/A") + label + QStringLiteral(".DBF")).toStdString();
        std::vector<dbase::FieldDesc> descs;
        for (const dbase::FieldDesc& f : studentFileFields()) {
            if (fields.contains(QString::fromStdString(f.name)))
                descs.push_back(f);
        }
        dbase::Table::create(path, descs);
        auto t = dbase::Table::open(path, dbase::OpenMode::Exclusive);
        for (const Record& r : records) {
            t->append();
            for (const auto& [field, value] : r)
                t->setText(field, value);
            t->post();
        }
    }
    HistorySetup setup(int visible = 6, const QString& directory = QStringLiteral("ZE-1415-1")) const
    {
        HistorySetup s;
        s.workspace = root;
        s.dataDirectory = directory;
        s.previousArchive = previousArchiveName(classFile(directory));
        s.visible = visible;
        s.columns = historyColumns();
        return s;
    }
};

} // namespace zedora::test
