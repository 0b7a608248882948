#include "data/student_schema.h"

#include "data/record_filter.h"
#include "dbase/table.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zedora {
namespace {

TEST(StudentSchema, FieldOrderWidthsAndRecordLength)
{
    ASSERT_EQ(kStoredFields.size(), 122u);
    // 1 deletion byte + the widths of all 122 fields.
    EXPECT_EQ(studentRecordLength(), 1555);

    // Byte offsets of a few fields inside the record: a wrong width or a
    // swapped field anywhere before them moves them.
    const auto offsetOf = [](const char* name) {
        int offset = 1;
        for (const StudentField& f : kStoredFields) {
            if (qstrcmp(f.name, name) == 0)
                return offset;
            offset += f.width;
        }
        return -1;
    };
    EXPECT_EQ(offsetOf("DE"), 291);
    EXPECT_EQ(offsetOf("TB1"), 619);
    EXPECT_EQ(offsetOf("ABSCH"), 699);
    EXPECT_EQ(offsetOf("ID"), 907);
    EXPECT_EQ(offsetOf("PLZ"), 1054);
    EXPECT_EQ(offsetOf("KD"), 1237);
    EXPECT_EQ(offsetOf("KX"), 1453);
    EXPECT_EQ(offsetOf("TB23"), 1545);

    // Files are copied into the current schema by position: the order is fixed.
    QStringList names;
    for (const StudentField& f : kStoredFields)
        names << f.name;
    EXPECT_EQ(names.join(' '),
              "NAME VORNAME MW KLASSE GEBOREN GEBORT TELEFON STAATS KONF STRASSE ORT STAMMF1 "
              "STAMMF2 DE RS EN KE MA KM LA FR GR RE KO WN SP WU GE EK SO PH CH BI MU KU WE TG "
              "AL TE HW SF SA FF1 FFZ1 FF2 FFZ2 WPK1 WP1 WPK2 WP2 WPK3 WP3 WPK4 WP4 WFK1 WF1 "
              "WFK2 WF2 WFK3 WF3 WFK4 WF4 TB1 TB2 TB3 TB4 TB5 TB6 TB7 TB8 ABSCH KODAT NOTE1 "
              "NOTE2 JOKE1 JOKE2 AG1 NAECH ID VS1 VS12 UE1 UE12 AG2 AG3 PLZ ANR1 ANR2 TB9 TB10 "
              "FOE1 FOE2 K1 K2 K3 K4 KD TB11 TB12 TB13 TF1 TF2 FOE3 FOE4 NOTE3 NOTE4 NOTE5 "
              "NOTE6 NOTE7 NOTE8 NOTEX KX TB14 TB15 TB16 TB17 TB18 TB19 TB20 TB21 TB22 TB23");

    EXPECT_EQ(storedFieldIndex("name"), 0);
    EXPECT_EQ(storedFieldIndex("ID"), 78);
    EXPECT_EQ(storedFieldIndex("TB23"), 121);
    EXPECT_EQ(storedFieldIndex("D1"), -1);

    // 23 memo fields TB1..TB23, nothing else is a memo.
    int memos = 0;
    for (const StudentField& f : kStoredFields) {
        if (f.type == 'M') {
            ++memos;
            EXPECT_EQ(f.kind, FieldKind::AssessmentText) << f.name;
            EXPECT_EQ(f.width, 10) << f.name;
        }
    }
    EXPECT_EQ(memos, 23);
}

TEST(StudentSchema, KindsAndLookup)
{
    EXPECT_EQ(fieldsOfKind(FieldKind::Grade).size(), 45);
    EXPECT_EQ(fieldsOfKind(FieldKind::MasterData).size(), 16);
    EXPECT_EQ(fieldsOfKind(FieldKind::CourseLevel),
              QStringList({"KE", "KM", "KO", "KD", "KX"}));
    EXPECT_EQ(fieldsOfKind(FieldKind::Absence), QStringList({"VS1", "VS12", "UE1", "UE12"}));
    EXPECT_EQ(fieldKind("d2"), FieldKind::Average);
    EXPECT_EQ(fieldKind("Absch"), FieldKind::GraduationCode);
    EXPECT_EQ(fieldKind("id"), FieldKind::Identity);
    EXPECT_EQ(fieldKind("XYZ"), -1);
    // Only a-z are folded: an umlaut name is no field.
    EXPECT_EQ(findStudentField(QStringLiteral("STRAßE")), nullptr);

    EXPECT_EQ(changeCheck("DE"), ChangeCheck::Abbreviation);
    EXPECT_EQ(changeCheck("K3"), ChangeCheck::Abbreviation);
    EXPECT_EQ(changeCheck("KE"), ChangeCheck::Abbreviation);
    EXPECT_EQ(changeCheck("KO"), ChangeCheck::Abbreviation);
    EXPECT_EQ(changeCheck("KD"), ChangeCheck::None);
    EXPECT_EQ(changeCheck("KX"), ChangeCheck::None);
    EXPECT_EQ(changeCheck("ABSCH"), ChangeCheck::GraduationCode);
    EXPECT_EQ(changeCheck("JOKE1"), ChangeCheck::None);
    EXPECT_EQ(changeCheck("VS1"), ChangeCheck::None);
}

TEST(StudentSchema, ReadOnlyRules)
{
    const EditState plain;
    EditState locked;
    locked.tableLock = true;
    EditState masterEditing;
    masterEditing.masterDataEditing = true;
    masterEditing.tableLock = true;
    EditState gridFocus;
    gridFocus.entryTableFocus = true;

    EXPECT_FALSE(isReadOnly(FieldKind::Grade, plain));
    EXPECT_TRUE(isReadOnly(FieldKind::Grade, locked));
    EXPECT_TRUE(isReadOnly(FieldKind::Absence, locked));
    EXPECT_TRUE(isReadOnly(FieldKind::FreeText, locked));
    EXPECT_TRUE(isReadOnly(FieldKind::GraduationCode, locked));
    // Master data follow only the master-data switch, even under the lock.
    EXPECT_TRUE(isReadOnly(FieldKind::MasterData, plain));
    EXPECT_FALSE(isReadOnly(FieldKind::MasterData, masterEditing));
    // Texts are edited in the text editor, never in the grid; the lock leaves them.
    EXPECT_FALSE(isReadOnly(FieldKind::AssessmentText, locked));
    EXPECT_TRUE(isReadOnly(FieldKind::AssessmentText, gridFocus));
    EXPECT_TRUE(isReadOnly(FieldKind::Average, plain));
    EXPECT_TRUE(isReadOnly(FieldKind::Identity, masterEditing));
}

TEST(StudentSchema, MasterDataNames)
{
    for (const QString& name : fieldsOfKind(FieldKind::MasterData))
        EXPECT_TRUE(isMasterDataName(name)) << name.toStdString();
    EXPECT_TRUE(isMasterDataName("SIB3"));
    EXPECT_TRUE(isMasterDataName("sib4"));
    EXPECT_FALSE(isMasterDataName("DE"));
    EXPECT_FALSE(isMasterDataName("NAM"));   // part of a name is not a name
    EXPECT_FALSE(isMasterDataName(""));
}

TEST(StudentSchema, SortOrders)
{
    ASSERT_NE(sortOrder(2), nullptr);
    EXPECT_EQ(sortOrderCaption(*sortOrder(2)), QStringLiteral("   - &Mädchen/Jungen"));
    EXPECT_STREQ(sortOrder(1)->tag, "KLASSE");
    EXPECT_STREQ(sortOrder(3)->tag, "NAME");
    EXPECT_EQ(sortOrder(0), nullptr);
    EXPECT_EQ(sortOrder(4), nullptr);
}

TEST(StudentSchema, KindRulesCoverEveryKindInUse)
{
    for (const StudentField& f : kStoredFields)
        EXPECT_NE(kindRule(f.kind), nullptr) << f.name;
    EXPECT_NE(kindRule(FieldKind::Average), nullptr);
    EXPECT_EQ(kindRule(6), nullptr);
    EXPECT_TRUE(isHiddenKind(fieldKind("ID")));
    EXPECT_FALSE(isHiddenKind(fieldKind("NAME")));
    EXPECT_TRUE(countsInAverages(fieldKind("NOTEX")));
    EXPECT_FALSE(countsInAverages(fieldKind("K1")));
}

TEST(StudentSchema, RecordFilter)
{
    EXPECT_TRUE(recordFilterAccepts("", std::nullopt));
    EXPECT_TRUE(recordFilterAccepts("", QString()));
    EXPECT_FALSE(recordFilterAccepts("", QString("5a")));
    EXPECT_TRUE(recordFilterAccepts("5a", QString("5a")));
    EXPECT_TRUE(recordFilterAccepts("a", QString("5a")));
    EXPECT_FALSE(recordFilterAccepts("A", QString("5a"))); // letter case counts
    EXPECT_FALSE(recordFilterAccepts("5a", std::nullopt));
    EXPECT_FALSE(recordFilterAccepts("", std::nullopt, false));
}

// The field list makes a real table, and the four tags order it as the
// sort orders promise.
TEST(StudentSchema, TemplateTableWithIndexTags)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("MUSTER.DBF").toStdString();
    dbase::Table::create(path, studentFileFields());
    {
        auto t = dbase::Table::open(path, dbase::OpenMode::Exclusive);
        ASSERT_EQ(t->fieldCount(), 122);
        EXPECT_EQ(t->field(121).name, "TB23");
        EXPECT_EQ(t->field(78).name, "ID");
        EXPECT_EQ(t->field(78).offset, 907);
        for (const dbase::TagSpec& tag : studentIndexTagSpecs())
            t->addIndexTag(tag.name, tag.expression, tag.unique);
        const char* rows[][4] = {{"meier", "Tom", "5b", "m"},
                                 {"Albers", "Udo", "5b", "m"},
                                 {"Zander", "Ina", "5a", "w"},
                                 {"Berg", "Eva", "5b", "w"}};
        for (const auto& r : rows) {
            t->append();
            t->setText("NAME", r[0]);
            t->setText("VORNAME", r[1]);
            t->setText("KLASSE", r[2]);
            t->setText("MW", r[3]);
            t->post();
        }
        const auto order = [&](const char* tag) {
            t->selectTag(tag);
            std::string names;
            for (t->first(); !t->eof(); t->next())
                names += t->text("NAME") + " ";
            return names;
        };
        EXPECT_EQ(order("KLASSE"), "Zander Albers Berg meier ");
        EXPECT_EQ(order("MW"), "Zander Albers meier Berg ");
        EXPECT_EQ(order("NAME"), "Albers Berg meier Zander ");
    }
    QFile f(dir.filePath("MUSTER.DBF"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray header = f.read(12);
    EXPECT_EQ(uchar(header[10]) + 256 * uchar(header[11]), 1555);
}

} // namespace
} // namespace zedora
