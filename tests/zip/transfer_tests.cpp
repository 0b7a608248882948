// Column and record transfer between two student files: matching by
// surname and first name, every match written, empty values carried over,
// the messages and counts.
#include "exchange/transfer_columns.h"
#include "data/student_table.h"
#include "zip/zip_support.h"

#include <gtest/gtest.h>

namespace zedora::test {
namespace {

struct Student {
    QString name, vorname, klasse, de, tb1;
};

// An empty student file from the template, filled with the given students.
QString makeFile(const QString& path, const std::vector<Student>& students)
{
    QFile::copy(shareFile(QStringLiteral("MUSTER.MS1")), path);
    QFile::copy(shareFile(QStringLiteral("MUSTER.MS3")), path.left(path.size() - 3) + QStringLiteral("DBT"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    QFile::setPermissions(path.left(path.size() - 3) + QStringLiteral("DBT"), QFile::ReadOwner | QFile::WriteOwner);
    StudentTable t;
    t.open(path);
    for (const Student& s : students) {
        t.append();
        t.setValue(QStringLiteral("NAME"), s.name);
        t.setValue(QStringLiteral("VORNAME"), s.vorname);
        t.setValue(QStringLiteral("KLASSE"), s.klasse);
        t.setValue(QStringLiteral("DE"), s.de);
        t.setValue(QStringLiteral("TB1"), s.tb1);
        EXPECT_TRUE(t.post());
    }
    return path;
}

QStringList column(StudentTable& t, const QString& field)
{
    QStringList values;
    const int f = t.findField(field);
    for (int r = 0; r < t.rowCount(); ++r)
        values << t.valueAt(r, f).trimmed();
    return values;
}

class Transfer : public ::testing::Test {
protected:
    Transfer()
    {
        makeFile(ws.root + QStringLiteral("ZE-2021-1/5A.DBF"),
                 {{QStringLiteral("Müller"), QStringLiteral("Anna"), QStringLiteral("5a"), QStringLiteral("3"), QString()},
                  {QStringLiteral("Müller"), QStringLiteral("Anna"), QStringLiteral("5a"), QStringLiteral("4"), QString()},
                  {QStringLiteral("Weber"), QStringLiteral("Paul"), QStringLiteral("5a"), QStringLiteral("2"),
                   QStringLiteral("alt")},
                  {QStringLiteral("Kaya"), QStringLiteral("Elif"), QStringLiteral("5a"), QStringLiteral("1"), QString()}});
        makeFile(ws.root + QStringLiteral("ZE-2021-1/QUELLE.DBF"),
                 {{QStringLiteral("Müller "), QStringLiteral(" Anna"), QStringLiteral("5b"), QStringLiteral("1"),
                   QStringLiteral("Anna liest gern.\nSie rechnet sicher.")},
                  {QStringLiteral("müller"), QStringLiteral("Anna"), QStringLiteral("5b"), QStringLiteral("6"), QString()},
                  {QStringLiteral("Weber"), QStringLiteral("Paul"), QStringLiteral("5b"), QString(), QString()},
                  {QStringLiteral("Neu"), QStringLiteral("Nina"), QString(), QStringLiteral("2"), QStringLiteral("Neu hier.")}});
        target.open(ws.root + QStringLiteral("ZE-2021-1/5A.DBF"));
        source.open(ws.root + QStringLiteral("ZE-2021-1/QUELLE.DBF"));
        // The entry table keeps master data and texts read-only.
        target.setReadOnly(target.findField(QStringLiteral("TB1")), true);
        target.setReadOnly(target.findField(QStringLiteral("NAME")), true);
    }

    QStringList byName(const QString& field)
    {
        QStringList out;
        const int f = target.findField(field), n = target.findField(QStringLiteral("NAME")),
                  v = target.findField(QStringLiteral("VORNAME"));
        for (int r = 0; r < target.rowCount(); ++r)
            out << target.valueAt(r, n).trimmed() + QLatin1Char('/') + target.valueAt(r, v).trimmed()
                       + QLatin1Char('=') + target.valueAt(r, f).trimmed();
        out.sort();
        return out;
    }

    ZipWorkspace ws;
    StudentTable target, source;
};

TEST_F(Transfer, EveryMatchGetsTheValueEmptyEmptiesCaseCounts)
{
    ColumnChoice c;
    c.marked = {QStringLiteral("DE")};
    c.selectedSource = QStringLiteral("DE");
    ws.ui.answers.enqueue(Answer::Yes);
    EXPECT_EQ(runColumnTransfer(target, source, c, ws.ui), 3);
    // Both Anna Müller get the source's 1, lower-case müller matches no one,
    // Paul Weber's empty source value empties his grade, Elif keeps hers.
    EXPECT_EQ(byName(QStringLiteral("DE")),
              (QStringList{QStringLiteral("Kaya/Elif=1"), QStringLiteral("Müller/Anna=1"),
                           QStringLiteral("Müller/Anna=1"), QStringLiteral("Weber/Paul=")}));
    EXPECT_EQ(ws.ui.messages(),
              (QStringList{QStringLiteral("ACHTUNG: Wenn die Quellspalten Leerfelder enthalten,\nwird in die Zielfelder "
                                          "ebenfalls ein Leertext eingetragen!\n\nÜbertrage Daten von Spalte DE\n\n"
                                          "nach Spalte DE\n\nJetzt starten?\n"),
                           QStringLiteral("Es wurden bei 3 Schülern Daten übertragen!")}));
    // Written to disk, and the read-only flags are back.
    StudentTable reread;
    reread.open(ws.root + QStringLiteral("ZE-2021-1/5A.DBF"));
    EXPECT_EQ(column(reread, QStringLiteral("DE")), column(target, QStringLiteral("DE")));
    EXPECT_TRUE(target.isReadOnly(target.findField(QStringLiteral("TB1"))));
}

TEST_F(Transfer, SeveralColumnsWithMemosAndFreeTarget)
{
    ColumnChoice c;
    c.marked = {QStringLiteral("DE"), QStringLiteral("TB1")};
    ws.ui.answers.enqueue(Answer::Yes);
    EXPECT_EQ(runColumnTransfer(target, source, c, ws.ui), 3);
    EXPECT_EQ(ws.ui.messages().last(), QStringLiteral("Es wurden für 3 Schüler Daten übertragen!"));
    EXPECT_TRUE(byName(QStringLiteral("TB1")).contains(QStringLiteral("Müller/Anna=Anna liest gern.\nSie rechnet sicher.")));
    EXPECT_TRUE(byName(QStringLiteral("TB1")).contains(QStringLiteral("Weber/Paul=")));
    EXPECT_TRUE(target.isReadOnly(target.findField(QStringLiteral("TB1"))));

    // One column into a freely chosen one.
    ColumnChoice free;
    free.marked = {QStringLiteral("DE")};
    free.selectedSource = QStringLiteral("DE");
    free.freeTarget = true;
    free.selectedTarget = QStringLiteral("MA");
    free.selectedTargetCaption = QStringLiteral("Mathematik");
    ws.ui.answers.enqueue(Answer::Yes);
    EXPECT_EQ(runColumnTransfer(target, source, free, ws.ui), 3);
    EXPECT_TRUE(ws.ui.messages().at(ws.ui.messages().size() - 2).contains(QStringLiteral("nach Spalte MA (Mathematik)")));
    EXPECT_TRUE(byName(QStringLiteral("MA")).contains(QStringLiteral("Müller/Anna=1")));
}

TEST_F(Transfer, RefusalsChangeNothing)
{
    const QStringList before = byName(QStringLiteral("DE"));
    ColumnChoice c;
    c.tableLocked = true;
    c.marked = {QStringLiteral("DE")};
    EXPECT_EQ(runColumnTransfer(target, source, c, ws.ui), -1);
    c.tableLocked = false;
    c.marked.clear();
    EXPECT_EQ(runColumnTransfer(target, source, c, ws.ui), -1);
    c.marked = {QStringLiteral("DE")};
    c.freeTarget = true;
    c.selectedTarget = QStringLiteral("KLASSE");
    ws.ui.answers.enqueue(Answer::Yes);
    EXPECT_EQ(runColumnTransfer(target, source, c, ws.ui), -1);
    ws.ui.answers.enqueue(Answer::No);
    c.freeTarget = false;
    EXPECT_EQ(runColumnTransfer(target, source, c, ws.ui), -1);
    EXPECT_EQ(ws.ui.messages().mid(0, 2),
              (QStringList{QString::fromUtf8(transfer_texts::kLocked), QString::fromUtf8(transfer_texts::kNoMark)}));
    EXPECT_EQ(ws.ui.messages().at(3), QString::fromUtf8(transfer_texts::kForbiddenTarget));
    EXPECT_EQ(byName(QStringLiteral("DE")), before);
    EXPECT_FALSE(isTransferableField(QStringLiteral("GEBOREN")));
    EXPECT_FALSE(isTransferableField(QStringLiteral("D1")));
    EXPECT_FALSE(isTransferableField(QStringLiteral("ID")));
    EXPECT_TRUE(isTransferableField(QStringLiteral("TB3")));
}

TEST_F(Transfer, RecordGetsTheOpenFilesClassAndNoAverages)
{
    target.moveToRow(0);
    ws.ui.answers.enqueue(Answer::Yes);
    const int nina = 3;
    ASSERT_TRUE(runRecordTransfer(target, source, nina, ws.ui));
    EXPECT_EQ(ws.ui.messages().first(), QStringLiteral("Daten von Neu, Nina übertragen?"));
    StudentTable reread;
    reread.open(ws.root + QStringLiteral("ZE-2021-1/5A.DBF"));
    ASSERT_EQ(reread.rowCount(), 5);
    const int n = reread.findField(QStringLiteral("NAME"));
    int row = -1;
    for (int r = 0; r < reread.rowCount(); ++r) {
        if (reread.valueAt(r, n).trimmed() == QStringLiteral("Neu"))
            row = r;
    }
    ASSERT_GE(row, 0);
    EXPECT_EQ(reread.valueAt(row, reread.findField(QStringLiteral("KLASSE"))).trimmed(), QStringLiteral("5a"));
    EXPECT_EQ(reread.valueAt(row, reread.findField(QStringLiteral("DE"))).trimmed(), QStringLiteral("2"));
    EXPECT_EQ(reread.valueAt(row, reread.findField(QStringLiteral("TB1"))), QStringLiteral("Neu hier."));
    EXPECT_TRUE(target.isReadOnly(target.findField(QStringLiteral("NAME"))));

    ws.ui.answers.enqueue(Answer::No);
    EXPECT_FALSE(runRecordTransfer(target, source, 0, ws.ui));
    EXPECT_EQ(target.rowCount(), 5);
}

} // namespace
} // namespace zedora::test
