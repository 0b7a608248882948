// Which file is a student's photo: the base name from name, birth date and
// sex, the JPEG-before-bitmap rule of the photo window, the bitmap-first
// rule of the class list, letter case on a case-sensitive disk, and the
// report card's photo hook.
#include "core/settings.h"
#include "data/student_photo.h"
#include "periphery_test_support.h"
#include "print/page_renderer.h"
#include "print/placeholders.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

TEST(PhotoNames, BaseNameFromNameBirthDateAndSex)
{
    const QString m = QStringLiteral("m");
    EXPECT_EQ(photoBaseName({"Müller", "Anna", "05.03.2008", "w"}, m), QStringLiteral("MüA05031"));
    EXPECT_EQ(photoBaseName({"Schmidt", "Paul", "17.11.2007", "m"}, m), QStringLiteral("ScP17110"));
    EXPECT_EQ(photoBaseName({"Schmidt", "Paul", "17.11.2007", "M"}, m), QStringLiteral("ScP17110"));
    EXPECT_EQ(photoBaseName({"Schmidt", "Paul", "17.11.2007", "2"}, m), QStringLiteral("ScP17110"));
    for (const char* other : {"w", "1", "", "x"})
        EXPECT_EQ(photoBaseName({"Schmidt", "Paul", "17.11.2007", other}, m), QStringLiteral("ScP17111")) << other;
    // The male letter comes from the settings.
    EXPECT_EQ(photoBaseName({"Ng", "Li", "01.02.2009", "j"}, QStringLiteral("j")), QStringLiteral("NgL01020"));
    // Short names and a missing birth date make a shorter name, never a crash.
    EXPECT_EQ(photoBaseName({"O", "", "", ""}, m), QStringLiteral("O1"));
    EXPECT_LE(photoBaseName({"Abcdefghijklmnopqrstuvwxyz", "Zoe", "01.01.2001", "w"}, m).size(), 20);
}

TEST(PhotoNames, PhotoFileAndClassListEntryFollowTheirOwnOrder)
{
    PeripheryWorkspace ws;
    const QString folder = photoFolder(ws.mkdir(QStringLiteral("bilder")));
    EXPECT_TRUE(folder.endsWith(QLatin1Char('/')));
    EXPECT_EQ(studentPhotoFile(folder, QStringLiteral("MüA05031")), QString());
    EXPECT_EQ(classListEntry(folder, QStringLiteral("MüA05031")), QStringLiteral("MÜA05031"));

    // Stored in lower case by another computer: still found.
    patternImage(8, 8).save(ws.path(QStringLiteral("bilder/müa05031.bmp")), "BMP");
    EXPECT_EQ(QFileInfo(studentPhotoFile(folder, QStringLiteral("MüA05031"))).fileName(), QStringLiteral("müa05031.bmp"));
    EXPECT_EQ(classListEntry(folder, QStringLiteral("MüA05031")), QStringLiteral("MÜA05031.BMP"));

    // Both: the window shows the JPEG, the list names the bitmap.
    patternImage(8, 8).save(ws.path(QStringLiteral("bilder/MüA05031.JPG")), "JPG");
    EXPECT_EQ(QFileInfo(studentPhotoFile(folder, QStringLiteral("MüA05031"))).fileName(), QStringLiteral("MüA05031.JPG"));
    EXPECT_EQ(classListEntry(folder, QStringLiteral("MüA05031")), QStringLiteral("MÜA05031.BMP"));

    // No folder set, or a folder that does not exist: no photo.
    EXPECT_EQ(studentPhotoFile(QString(), QStringLiteral("MüA05031")), QString());
    EXPECT_EQ(studentPhotoFile(ws.path(QStringLiteral("fehlt/")), QStringLiteral("MüA05031")), QString());
}

namespace {

class MapRecord : public RecordValues {
public:
    QMap<QString, QString> values;
    bool hasField(const QString& name) const override { return values.contains(name); }
    QString value(const QString& name) const override { return values.value(name); }
};

} // namespace

TEST(PhotoNames, ReportCardPhotoFollowsTheSettingsOfTheRun)
{
    PeripheryWorkspace ws;
    Settings settings;
    settings.SibankFotoordner = ws.path(QStringLiteral("fotos"));
    const auto hook = RenderOptions::fromSettings(settings, ws.path(QString())).photoPath;
    ASSERT_TRUE(hook);
    MapRecord anna;
    anna.values = {{"NAME", "Müller   "}, {"VORNAME", "Anna"}, {"GEBOREN", "05.03.2008"}, {"MW", "w"}};
    EXPECT_EQ(hook(anna), QString());

    ws.mkdir(QStringLiteral("fotos"));
    patternImage(4, 4).save(ws.path(QStringLiteral("fotos/MüA05031.jpg")), "JPG");
    EXPECT_EQ(QFileInfo(hook(anna)).fileName(), QStringLiteral("MüA05031.jpg"));

    // A record without the fields (a list form) has no photo and does not fail.
    MapRecord empty;
    EXPECT_EQ(hook(empty), QString());

    // A changed folder setting counts from the next run on.
    settings.SibankFotoordner = ws.path(QStringLiteral("anderswo"));
    EXPECT_FALSE(hook(anna).isEmpty());
    EXPECT_EQ(RenderOptions::fromSettings(settings, ws.path(QString())).photoPath(anna), QString());
}
