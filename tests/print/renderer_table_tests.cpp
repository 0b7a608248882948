// A dBase student file as the records of a print run.
#include "data/averages.h"
#include "data/student_schema.h"
#include "dbase/table.h"
#include "print/table_print_records.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zedora;

TEST(RendererTableRecords, WalksTheOrderFindsIdsAndPutsTheCursorBack)
{
    QTemporaryDir dir;
    const QString share = QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/");
    const QString dbf = dir.filePath(QStringLiteral("demo.dbf"));
    ASSERT_TRUE(QFile::copy(share + QStringLiteral("demo.dbf"), dbf));
    ASSERT_TRUE(QFile::copy(share + QStringLiteral("demo.dbt"), dir.filePath(QStringLiteral("demo.dbt"))));
    {
        auto t = dbase::Table::open(dbf.toStdString(), dbase::OpenMode::ExclusiveWithoutIndex);
        t->rebuildIndex(studentIndexTagSpecs());
    }
    auto table = dbase::Table::open(dbf.toStdString());
    table->selectTag("NAME");
    TablePrintRecords records(*table, AverageDefinitions{});

    QStringList names, ids;
    ASSERT_TRUE(records.first());
    do {
        names << records.value(QStringLiteral("NAME"));
        ids << records.value(QStringLiteral("id"));
    } while (records.next());
    ASSERT_GE(names.size(), 20);
    QStringList sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        return a.toUpper() < b.toUpper();
    });
    EXPECT_EQ(names.first(), sorted.first());
    // At the end next() stays on the last record.
    EXPECT_EQ(records.value(QStringLiteral("NAME")), names.last());

    records.first();
    records.next();
    const std::uint64_t second = records.position();
    ASSERT_TRUE(records.findId(ids[7]));
    EXPECT_EQ(records.value(QStringLiteral("NAME")), names[7]);
    EXPECT_EQ(table->currentTag(), "NAME"); // the order stays
    ASSERT_TRUE(records.next());
    EXPECT_EQ(records.value(QStringLiteral("NAME")), names[8]);
    EXPECT_FALSE(records.findId(QStringLiteral("KEINEID")));
    records.restore(second);
    EXPECT_EQ(records.value(QStringLiteral("NAME")), names[1]);

    EXPECT_TRUE(records.hasField(QStringLiteral("d1")));
    EXPECT_FALSE(records.hasField(QStringLiteral("GIBTSNICHT")));
    EXPECT_EQ(records.fieldClass(QStringLiteral("DE")), FieldKind::Grade);
    EXPECT_EQ(records.fieldClass(QStringLiteral("D1")), FieldKind::Average);
    const QString d1 = records.value(QStringLiteral("D1"));
    if (!d1.isEmpty()) {
        bool ok = false;
        const double v = d1.toDouble(&ok);
        EXPECT_TRUE(ok);
        EXPECT_GE(v, 1.0);
        EXPECT_LE(v, 6.0);
    }
}
