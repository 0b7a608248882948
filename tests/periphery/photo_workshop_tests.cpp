// The photo workshop's work on files with its questions and messages:
// selection confirmation, conversions, turns, resizing, deleting, giving a
// picture to a student, copying a class's photos, deleting a photo.
#include "periphery/photo_pictures.h"
#include "periphery/photo_workshop.h"
#include "periphery_test_support.h"

#include <QFileInfo>
#include <QImageReader>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

struct Workshop : PeripheryWorkspace {
    PhotoWorkshop workshop{ui, files};
    QString source = mkdir(QStringLiteral("quelle"));
    QString photos = mkdir(QStringLiteral("bilder")) + QLatin1Char('/');

    QString picture(const QString& name, int w = 64, int h = 48)
    {
        const QString path = source + QLatin1Char('/') + name;
        const QImage image = patternImage(w, h);
        EXPECT_TRUE(pictureKind(name) == PictureKind::Jpeg ? writeJpeg(image, path) : writeBitmap(image, path));
        return path;
    }
};

} // namespace

TEST(PhotoWorkshop, SelectionIsConfirmedByCountAndVerb)
{
    Workshop w;
    EXPECT_FALSE(w.workshop.confirm(0, QStringLiteral("gedreht")));
    EXPECT_EQ(w.ui.messages(), QStringList{QStringLiteral("Es ist kein Bild gewählt!")});
    w.ui.clear();
    EXPECT_TRUE(w.workshop.confirm(1, QStringLiteral("gedreht")));
    EXPECT_TRUE(w.ui.messages().isEmpty());

    queueAnswers(w.ui, {Answer::No, Answer::Yes});
    EXPECT_FALSE(w.workshop.confirm(3, QStringLiteral("umgewandelt")));
    EXPECT_TRUE(w.workshop.confirm(1, QStringLiteral("gelöscht"), true));
    EXPECT_EQ(w.ui.messages(),
              (QStringList{QStringLiteral("Sollen die gewählten 3 Bilder\n\nwirklich umgewandelt werden"),
                           QStringLiteral("Sollen das gewählte Bild\n\nwirklich gelöscht werden")}));
}

TEST(PhotoWorkshop, ConversionsMakeTheOtherFormatAndKeepTheOriginal)
{
    Workshop w;
    const QString jpg = w.picture(QStringLiteral("anna.jpg"));
    const QString bmp = w.picture(QStringLiteral("paul.BMP"));
    const QByteArray jpgBytes = readBytes(jpg);

    EXPECT_TRUE(w.workshop.convertToBitmap({jpg}));
    EXPECT_TRUE(QFileInfo::exists(w.source + QStringLiteral("/anna.bmp")));
    EXPECT_EQ(readBytes(jpg), jpgBytes);
    EXPECT_EQ(QImageReader(w.source + QStringLiteral("/anna.bmp")).format(), QByteArray("bmp"));
    EXPECT_TRUE(w.reg.files().join('\n').contains(QStringLiteral("anna.bmp")));

    EXPECT_TRUE(w.workshop.convertToJpeg({bmp}));
    EXPECT_EQ(QImageReader(w.source + QStringLiteral("/paul.jpg")).format(), QByteArray("jpeg"));
    EXPECT_TRUE(w.ui.messages().isEmpty()) << w.ui.messages().join('|').toStdString();

    // Again: the targets exist now and are not overwritten; wrong formats refused.
    const QByteArray madeBmp = readBytes(w.source + QStringLiteral("/anna.bmp"));
    queueAnswers(w.ui, {Answer::Yes, Answer::Yes});
    w.workshop.convertToBitmap({jpg, bmp});
    w.workshop.convertToJpeg({bmp, jpg});
    EXPECT_EQ(w.ui.messages(),
              (QStringList{QStringLiteral("Sollen die gewählten 2 Bilder\n\nwirklich umgewandelt werden"),
                           QStringLiteral("Konvertierung nicht möglich:\n\nanna.bmp  existiert bereits!"),
                           QStringLiteral("Konvertierung nicht möglich: Keine JPG-Datei!"),
                           QStringLiteral("Sollen die gewählten 2 Bilder\n\nwirklich umgewandelt werden"),
                           QStringLiteral("Konvertierung nicht möglich: \n\npaul.jpg  existiert bereits!"),
                           QStringLiteral("Konvertierung nicht möglich: Keine BMP-Datei")}));
    EXPECT_EQ(readBytes(w.source + QStringLiteral("/anna.bmp")), madeBmp);
}

TEST(PhotoWorkshop, TurningLeftThenRightGivesTheSameBitmap)
{
    Workshop w;
    const QString bmp = w.picture(QStringLiteral("quer.bmp"), 64, 48);
    const QImage before = readPictureForEditing(bmp).image.convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(w.workshop.turn({bmp}, false));
    EXPECT_EQ(storedPictureSize(bmp), QSize(48, 64));
    EXPECT_EQ(w.workshop.lastSize(), QSize(48, 64));
    // The left turn put the old top-right corner top-left.
    EXPECT_EQ(readPictureForEditing(bmp).image.pixel(0, 0) & 0xFFFFFF, before.pixel(63, 0) & 0xFFFFFF);
    ASSERT_TRUE(w.workshop.turn({bmp}, true));
    EXPECT_EQ(readPictureForEditing(bmp).image.convertToFormat(QImage::Format_RGB32), before);

    // A JPEG turns too (re-compressed); a WMF is left alone.
    const QString jpg = w.picture(QStringLiteral("hoch.jpg"), 30, 60);
    const QString wmf = w.source + QStringLiteral("/logo.wmf");
    writeBytes(wmf, "not really a metafile");
    queueAnswers(w.ui, {Answer::Yes});
    ASSERT_TRUE(w.workshop.turn({jpg, wmf}, true));
    EXPECT_EQ(storedPictureSize(jpg), QSize(60, 30));
    EXPECT_EQ(readBytes(wmf), QByteArray("not really a metafile"));
}

TEST(PhotoWorkshop, ResizeAsksTheWidthAndKeepsProportions)
{
    Workshop w;
    const QString jpg = w.picture(QStringLiteral("gross.jpg"), 640, 480);
    const QString bmp = w.picture(QStringLiteral("gross.bmp"), 640, 480);
    queueTexts(w.ui, {QStringLiteral("49"), QStringLiteral("Breite"), QStringLiteral("50")});
    EXPECT_FALSE(w.workshop.resize({jpg}));
    EXPECT_FALSE(w.workshop.resize({jpg}));
    EXPECT_EQ(w.ui.messages(), (QStringList{QStringLiteral("Breite muss größer als 50 sein!"),
                                            QStringLiteral("Breite muss größer als 50 sein!")}));
    EXPECT_EQ(w.ui.shown.first().text, QStringLiteral("Neue Bildbreite in Pixel "));
    EXPECT_EQ(w.ui.shown.first().detail, QStringLiteral("Breite: "));
    EXPECT_TRUE(w.workshop.resize({bmp}));
    EXPECT_EQ(storedPictureSize(bmp), QSize(50, 38));  // 37.5 -> 38

    w.ui.clear();
    queueTexts(w.ui, {QStringLiteral("300")});
    EXPECT_TRUE(w.workshop.resize({jpg}));
    EXPECT_EQ(storedPictureSize(jpg), QSize(300, 225));
    EXPECT_EQ(QImageReader(jpg).format(), QByteArray("jpeg"));

    const QString wmf = w.source + QStringLiteral("/logo.wmf");
    writeBytes(wmf, "x");
    queueTexts(w.ui, {QStringLiteral("300")});
    w.workshop.resize({wmf});
    EXPECT_EQ(w.ui.messages().last(), QStringLiteral("Diese Grafik-Format lässt sich nicht in der Größe ändern!"));
}

TEST(PhotoWorkshop, UnreadablePicturesAreNamedAndTheOthersStillProcessed)
{
    Workshop w;
    const QString good = w.picture(QStringLiteral("gut.bmp"), 20, 10);
    const QString bad = w.source + QStringLiteral("/kaputt.bmp");
    writeBytes(bad, "BM kaputt");
    const QByteArray badBytes = readBytes(bad);
    queueAnswers(w.ui, {Answer::Yes});
    ASSERT_TRUE(w.workshop.turn({bad, good}, true));
    EXPECT_EQ(storedPictureSize(good), QSize(10, 20));
    EXPECT_EQ(readBytes(bad), badBytes);
    ASSERT_EQ(w.ui.shown.last().kind, ScriptedInteraction::Kind::Warning);
    EXPECT_EQ(w.ui.shown.last().text,
              QStringLiteral("Die Bilddatei\nkaputt.bmp\nkann nicht gelesen werden (kein Bild oder beschädigt)!"));
}

TEST(PhotoWorkshop, DeletingSourcesAsksAndRemovesOnlyTheChosen)
{
    Workshop w;
    const QString a = w.picture(QStringLiteral("a.jpg"));
    const QString b = w.picture(QStringLiteral("b.jpg"));
    queueAnswers(w.ui, {Answer::Cancel, Answer::Yes});
    EXPECT_FALSE(w.workshop.deleteSources({a}));
    EXPECT_TRUE(QFileInfo::exists(a));
    EXPECT_TRUE(w.workshop.deleteSources({a}));
    EXPECT_FALSE(QFileInfo::exists(a));
    EXPECT_TRUE(QFileInfo::exists(b));
}

TEST(PhotoWorkshop, GivingAPictureToAStudent)
{
    Workshop w;
    const QString a = w.picture(QStringLiteral("IMG_0001.JPG"));
    const QString b = w.picture(QStringLiteral("IMG_0002.jpg"));

    EXPECT_EQ(w.workshop.transfer({a}, w.path(QStringLiteral("fehlt/")), QStringLiteral("MÜA05031")), QString());
    EXPECT_EQ(w.workshop.transfer({a, b}, w.photos, QStringLiteral("MÜA05031")), QString());
    EXPECT_EQ(w.workshop.transfer({}, w.photos, QStringLiteral("MÜA05031")), QString());
    EXPECT_EQ(w.ui.messages(), (QStringList{QStringLiteral("Zielverzeichnis nicht vorhanden!"),
                                            QStringLiteral("Zur Übertragung bitte nur ein Foto auswählen!"),
                                            QStringLiteral("Zur Übertragung bitte nur ein Foto auswählen!")}));

    const QString cell = w.workshop.transfer({a}, w.photos, QStringLiteral("MÜA05031.BMP"));
    EXPECT_EQ(cell, QStringLiteral("MÜA05031.JPG"));
    EXPECT_EQ(readBytes(w.photos + cell), readBytes(a));
    EXPECT_TRUE(QFileInfo::exists(a));  // a copy, the source stays

    // Deleting the student's photo asks, leaves the source alone, and the
    // cell loses its extension.
    w.ui.clear();
    queueAnswers(w.ui, {Answer::No, Answer::Yes});
    EXPECT_EQ(w.workshop.deleteStudentPhoto(w.photos, cell), cell);
    EXPECT_EQ(w.workshop.deleteStudentPhoto(w.photos, cell), QStringLiteral("MÜA05031"));
    EXPECT_FALSE(QFileInfo::exists(w.photos + cell));
    EXPECT_TRUE(QFileInfo::exists(a));
    EXPECT_EQ(w.workshop.deleteStudentPhoto(w.photos, QStringLiteral("MÜA05031")), QStringLiteral("MÜA05031"));
    EXPECT_EQ(w.ui.messages(), (QStringList{QStringLiteral("Soll ") + w.photos + cell + QStringLiteral("\n\n gelöscht werden?"),
                                            QStringLiteral("Soll ") + w.photos + cell + QStringLiteral("\n\n gelöscht werden?"),
                                            QStringLiteral("Datei eh nicht vorhanden!")}));
}

TEST(PhotoWorkshop, CopyingTheClassPhotosCountsWhatWasCopied)
{
    Workshop w;
    writeJpeg(patternImage(8, 8), w.photos + QStringLiteral("MÜA05031.JPG"));
    writeBitmap(patternImage(8, 8), w.photos + QStringLiteral("SCP17110.BMP"));
    const QString stick = w.mkdir(QStringLiteral("stick"));
    queueTexts(w.ui, {std::nullopt, stick + QStringLiteral("/MÜA05031.JPG")});
    EXPECT_EQ(w.workshop.copyAll(w.photos, {"MÜA05031.JPG", "SCP17110.BMP", "NGL01021"}, w.tmp.path()), -1);
    EXPECT_EQ(w.workshop.copyAll(w.photos, {"MÜA05031.JPG", "SCP17110.BMP", "NGL01021"}, w.tmp.path()), 2);
    EXPECT_EQ(w.ui.shown.at(0).kind, ScriptedInteraction::Kind::SaveFile);
    EXPECT_EQ(w.ui.shown.at(0).text, QStringLiteral("Bilddateien kopieren nach ..."));
    EXPECT_EQ(w.ui.messages(), QStringList{QStringLiteral("2 Bilder wurden kopiert!")});
    EXPECT_EQ(readBytes(stick + QStringLiteral("/SCP17110.BMP")), readBytes(w.photos + QStringLiteral("SCP17110.BMP")));
}
