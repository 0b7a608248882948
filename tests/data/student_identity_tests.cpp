#include "data/student_identity.h"

#include "base/scripted_interaction.h"

#include <gtest/gtest.h>

namespace zedora {
namespace {

const QDate kToday(2026, 12, 9);

TEST(StudentIdentity, BuiltFromDayNumberAndNames)
{
    // Only a-z are upper-cased; the umlaut stays.
    EXPECT_EQ(studentIdentity(QDate(2000, 1, 1), QStringLiteral("Müller"), "Anna-Lena"),
              QStringLiteral("36526MüLANNA-LE"));
    // Short names, trailing blanks of the fixed-width fields do not count.
    EXPECT_EQ(studentIdentity(QDate(2000, 1, 2), "Li                       ", "Bo   "),
              QStringLiteral("36527LIBO"));
    // A six-digit day number still gives at most 15 characters.
    EXPECT_EQ(studentIdentity(QDate(2200, 1, 1), "Schmidt", "Maximilian").size(), 15);
}

TEST(StudentIdentity, BirthDateNormalForm)
{
    EXPECT_EQ(birthDateNormalForm("24.12.60", kToday), "24.12.1960");
    EXPECT_EQ(birthDateNormalForm("5.3.08", kToday), "05.03.2008");
    EXPECT_EQ(birthDateNormalForm("5.3.61", kToday), "05.03.1961");
    EXPECT_EQ(birthDateNormalForm("01.01.2000", kToday), "01.01.2000");
    // Not a date: left as typed.
    EXPECT_EQ(birthDateNormalForm("31.02.2001", kToday), "31.02.2001");
    EXPECT_EQ(birthDateNormalForm("5/3/2008", kToday), "5/3/2008");
    EXPECT_EQ(birthDateNormalForm("", kToday), "");
    EXPECT_FALSE(normalBirthDate("31.02.2001", kToday).has_value());
}

TEST(StudentIdentity, SaveWithBadBirthDateShowsErrorAndEmptiesIdentity)
{
    ScriptedInteraction ui;
    const IdentityUpdate bad = identityOnSave("31.02.2001", "Meier", "Tom", ui, kToday);
    EXPECT_TRUE(bad.id.isEmpty());
    EXPECT_EQ(bad.geboren, "31.02.2001");
    ASSERT_EQ(ui.shown.size(), 1);
    EXPECT_EQ(ui.shown[0].kind, ScriptedInteraction::Kind::Error);
    EXPECT_EQ(ui.shown[0].text,
              QStringLiteral("FEHLER: Das Geburtsdatum ist falsch eingegeben! (TT.MM.JJJJ)\n"));

    ui.clear();
    const IdentityUpdate good = identityOnSave("1.1.00", "Meier", "Tom", ui, kToday);
    EXPECT_EQ(good.geboren, "01.01.2000");
    EXPECT_EQ(good.id, "36526MEITOM");
    EXPECT_TRUE(ui.shown.isEmpty());
}

TEST(StudentIdentity, ReorganisationReportsTheFirstBadDateOnce)
{
    ScriptedInteraction ui;
    ReorganisationIdentities ids("/ws/ZE-1920-1/5A.DBF", ui, kToday);
    const IdentityUpdate a = ids.next("1.1.2000", "Meier", "Tom");
    EXPECT_EQ(a.id, "36526MEITOM");
    EXPECT_EQ(a.geboren, "01.01.2000");
    const IdentityUpdate b = ids.next("30.02.2005", "Roth", "Ida");
    EXPECT_EQ(b.id, "000");
    EXPECT_EQ(b.geboren, "30.02.2005");
    const IdentityUpdate c = ids.next("unbekannt", "Zahn", "Udo");
    EXPECT_EQ(c.id, "000");
    EXPECT_EQ(c.geboren, "unbekannt");

    ASSERT_EQ(ui.messages().size(), 1);
    EXPECT_EQ(ui.messages()[0],
              QStringLiteral("In der Datei\n/ws/ZE-1920-1/5A.DBF\nbefindet sich ein Schüler\n"
                             "(Roth, Ida)\nmit falschem Geburtsdatumsformat! Bitte prüfen!\n\n"
                             "Nach Korrektur Datei bitte erneut reorganisieren!"));
    // A new run reports again.
    ReorganisationIdentities again("/ws/ZE-1920-1/5A.DBF", ui, kToday);
    again.next("30.02.2005", "Roth", "Ida");
    EXPECT_EQ(ui.messages().size(), 2);
}

} // namespace
} // namespace zedora
