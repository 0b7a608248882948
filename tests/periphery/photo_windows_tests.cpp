// The photo window and the photo workshop page on the offscreen platform:
// captions, the class list with its colours, previews, the buttons' work
// through the page, and a picture that cannot be shown.
#include "core/settings.h"
#include "periphery/photo_pictures.h"
#include "periphery/ui/TFFoto.h"
#include "periphery/ui/photo_workshop_page.h"
#include "periphery/ui/picture_view.h"
#include "periphery_test_support.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

void screenshot(QWidget& w, const char* name)
{
    if (qEnvironmentVariableIsSet("ZEDORA_SCREENSHOTS"))
        w.grab().save(qEnvironmentVariable("ZEDORA_SCREENSHOTS") + QLatin1Char('/') + QLatin1String(name));
}

// A passport-like picture: a face on a blue background.
QImage portrait(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(90, 140, 200));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double dx = (x - w / 2.0) / (w / 4.0), dy = (y - h / 2.5) / (h / 4.0);
            if (dx * dx + dy * dy < 1.0)
                image.setPixel(x, y, qRgb(235, 195, 160));
            else if (y > h * 0.72 && std::abs(x - w / 2) < w * 0.4)
                image.setPixel(x, y, qRgb(60, 60, 70));
        }
    return image;
}

} // namespace

TEST(PhotoWindow, ShowsThePhotoOrSaysThereIsNone)
{
    PeripheryWorkspace ws;
    const QString jpg = ws.path(QStringLiteral("MüA05031.JPG"));
    ASSERT_TRUE(writeJpeg(portrait(240, 300), jpg));
    TFFoto with(QStringLiteral("Anna "), QStringLiteral(" Müller"), jpg, ws.ui);
    EXPECT_EQ(with.windowTitle(), QStringLiteral("Anna Müller"));
    EXPECT_TRUE(with.picture().hasImage());
    EXPECT_NE(with.findChild<QPushButton*>(QStringLiteral("BitBtn1")), nullptr);
    EXPECT_EQ(with.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->text(), QStringLiteral("Schließen"));
    with.resize(280, 380);
    screenshot(with, "foto-fenster.png");

    TFFoto without(QStringLiteral("Paul"), QStringLiteral("Schmidt"), QString(), ws.ui);
    EXPECT_FALSE(without.picture().hasImage());
    EXPECT_TRUE(ws.ui.messages().isEmpty());

    // A photo file that is no picture: named, the window shows none.
    const QString broken = ws.path(QStringLiteral("ScP17110.JPG"));
    writeBytes(broken, "kein Bild");
    TFFoto bad(QStringLiteral("Paul"), QStringLiteral("Schmidt"), broken, ws.ui);
    EXPECT_FALSE(bad.picture().hasImage());
    EXPECT_EQ(ws.ui.messages(), QStringList{QStringLiteral("Die Bilddatei\nScP17110.JPG\nkann nicht gelesen werden "
                                                           "(kein Bild oder beschädigt)!")});
}

namespace {

struct PageFixture : PeripheryWorkspace {
    Settings settings;
    QString source = mkdir(QStringLiteral("kamera"));
    QString photos = mkdir(QStringLiteral("bilder"));
    std::unique_ptr<PhotoWorkshopPage> page;

    PageFixture()
    {
        settings.fotoquellordner = source;
        settings.SibankFotoordner = photos;
        writeJpeg(portrait(300, 400), source + QStringLiteral("/IMG_0001.JPG"));
        writeBitmap(portrait(120, 160), source + QStringLiteral("/scan.bmp"));
        writeBytes(source + QStringLiteral("/logo.WMF"), "kein echtes WMF");
        writeBytes(source + QStringLiteral("/notiz.txt"), "kein Bild");
        writeJpeg(portrait(150, 200), photos + QStringLiteral("/MÜA05031.JPG"));
        page = std::make_unique<PhotoWorkshopPage>(settings, ui, files, tmp.path() + QLatin1Char('/'));
        page->setStudents({{{"Müller", "Anna", "05.03.2008", "w"}, "5a"},
                           {{"Schmidt", "Paul", "17.11.2007", "m"}, "5a"},
                           {{"Öztürk", "Elif", "30.01.2008", "w"}, "5b"}});
        page->resize(1000, 520);
        page->show();
    }
    QStringList sourceNames() const
    {
        QStringList names;
        for (int i = 0; i < page->sourceList()->count(); ++i)
            names << page->sourceList()->item(i)->text();
        return names;
    }
    QString sizeLabel() const { return page->findChild<QLabel*>(QStringLiteral("Label19"))->text(); }
    void selectSource(const QString& name)
    {
        page->sourceList()->clearSelection();
        for (QListWidgetItem* item : page->sourceList()->findItems(name, Qt::MatchExactly)) {
            page->sourceList()->setCurrentItem(item);
            item->setSelected(true);
        }
    }
};

} // namespace

TEST(PhotoWorkshopPage, ListsSourcePicturesAndTheClassWithItsPhotos)
{
    PageFixture f;
    // WMF files are listed until a filter is chosen; other files never.
    EXPECT_EQ(f.sourceNames(), (QStringList{"IMG_0001.JPG", "logo.WMF", "scan.bmp"}));
    EXPECT_EQ(f.page->sourceList()->currentRow(), 0);
    EXPECT_EQ(f.sizeLabel(), QStringLiteral("Org.-Größe: 300 x 400"));
    EXPECT_TRUE(f.page->findChild<PictureView*>(QStringLiteral("Image1"))->hasImage());
    f.selectSource(QStringLiteral("logo.WMF"));
    EXPECT_EQ(f.sizeLabel(), QStringLiteral("Org.-Größe: 0 x 0"));

    QComboBox* filter = f.page->findChild<QComboBox*>(QStringLiteral("dateiFilter"));
    filter->setCurrentIndex(2);
    EXPECT_EQ(f.sourceNames(), QStringList{"scan.bmp"});
    filter->setCurrentIndex(0);
    EXPECT_EQ(f.sourceNames(), (QStringList{"IMG_0001.JPG", "scan.bmp"}));

    QTableWidget* list = f.page->classList();
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->horizontalHeaderItem(5)->text(), QStringLiteral("Dateiname plus (.jpg/.bmp)"));
    EXPECT_TRUE(list->isColumnHidden(3));
    EXPECT_TRUE(list->isColumnHidden(4));
    EXPECT_EQ(list->item(0, 5)->text(), QStringLiteral("MÜA05031.JPG"));
    EXPECT_EQ(list->item(1, 5)->text(), QStringLiteral("SCP17110"));
    EXPECT_EQ(list->item(0, 5)->background().color(), windowsColour(8780491));
    EXPECT_EQ(list->item(1, 5)->foreground().color(), windowsColour(12632256));
    // The first student's photo is shown.
    EXPECT_TRUE(f.page->findChild<PictureView*>(QStringLiteral("Image2"))->hasImage());
    screenshot(*f.page, "foto-werkstatt.png");

    // A double click on a student without photo says so.
    f.page->showStudentPhoto(1, true);
    EXPECT_EQ(f.ui.messages(), QStringList{QStringLiteral("Nicht vorhanden!")});
    EXPECT_FALSE(f.page->findChild<PictureView*>(QStringLiteral("Image2"))->hasImage());
}

TEST(PhotoWorkshopPage, ButtonsTurnConvertAndGiveAPictureToAStudent)
{
    PageFixture f;
    f.selectSource(QStringLiteral("scan.bmp"));
    f.page->findChild<QPushButton*>(QStringLiteral("BitBtn7"))->click();
    EXPECT_EQ(storedPictureSize(f.source + QStringLiteral("/scan.bmp")), QSize(160, 120));
    EXPECT_EQ(f.sizeLabel(), QStringLiteral("Org.-Größe: 160 x 120"));
    EXPECT_EQ(f.page->sourceList()->currentItem()->text(), QStringLiteral("scan.bmp"));

    f.page->findChild<QPushButton*>(QStringLiteral("BitBtn9"))->click();
    EXPECT_TRUE(f.sourceNames().contains(QStringLiteral("scan.jpg")));
    EXPECT_EQ(f.page->sourceList()->currentItem()->text(), QStringLiteral("scan.bmp"));

    // Paul gets the camera picture.
    f.selectSource(QStringLiteral("IMG_0001.JPG"));
    f.page->classList()->selectRow(1);
    f.page->findChild<QToolButton*>(QStringLiteral("SpeedButton1"))->click();
    EXPECT_EQ(f.page->classList()->item(1, 5)->text(), QStringLiteral("SCP17110.JPG"));
    EXPECT_EQ(readBytes(f.photos + QStringLiteral("/SCP17110.JPG")), readBytes(f.source + QStringLiteral("/IMG_0001.JPG")));
    EXPECT_EQ(f.page->classList()->item(1, 5)->background().color(), windowsColour(8780491));

    // Nothing chosen in the source list.
    f.page->sourceList()->clearSelection();
    f.page->findChild<QPushButton*>(QStringLiteral("BitBtn12"))->click();
    EXPECT_EQ(f.ui.messages(), QStringList{QStringLiteral("Es ist kein Bild gewählt!")});

    // Deleting Paul's photo again, after the question.
    f.ui.clear();
    queueAnswers(f.ui, {Answer::Yes});
    f.page->findChild<QPushButton*>(QStringLiteral("BitBtn14"))->click();
    EXPECT_EQ(f.page->classList()->item(1, 5)->text(), QStringLiteral("SCP17110"));
    EXPECT_FALSE(QFileInfo::exists(f.photos + QStringLiteral("/SCP17110.JPG")));
    EXPECT_TRUE(QFileInfo::exists(f.source + QStringLiteral("/IMG_0001.JPG")));
}

TEST(PhotoWorkshopPage, PicturesThatCannotBeShownAreNamedInThePreview)
{
    PageFixture f;
    writeBytes(f.source + QStringLiteral("/defekt.jpg"), "abgebrochene Übertragung");
    f.page->listSource();
    f.selectSource(QStringLiteral("defekt.jpg"));
    auto* preview = f.page->findChild<PictureView*>(QStringLiteral("Image1"));
    EXPECT_FALSE(preview->hasImage());
    EXPECT_EQ(preview->message(),
              QStringLiteral("Die Bilddatei\ndefekt.jpg\nkann nicht gelesen werden (kein Bild oder beschädigt)!"));
    EXPECT_EQ(f.sizeLabel(), QStringLiteral("Org.-Größe: 0 x 0"));
    EXPECT_TRUE(f.ui.messages().isEmpty());
    // The next good picture replaces the message.
    f.selectSource(QStringLiteral("scan.bmp"));
    EXPECT_TRUE(preview->hasImage());
    EXPECT_EQ(preview->message(), QString());
    // Turning it is refused with the name in a message, the file untouched.
    f.selectSource(QStringLiteral("defekt.jpg"));
    f.page->findChild<QPushButton*>(QStringLiteral("BitBtn7"))->click();
    EXPECT_EQ(f.ui.messages(), QStringList{preview->message()});
    EXPECT_EQ(readBytes(f.source + QStringLiteral("/defekt.jpg")), QByteArray("abgebrochene Übertragung"));
}

TEST(PhotoWorkshopPage, ChosenFoldersBecomeTheSettings)
{
    PageFixture f;
    const QString other = f.mkdir(QStringLiteral("andere"));
    writeBitmap(portrait(40, 50), other + QStringLiteral("/neu.bmp"));
    queueTexts(f.ui, {other, std::nullopt});
    f.page->chooseSourceFolder();
    EXPECT_EQ(f.settings.fotoquellordner, other);
    EXPECT_EQ(f.sourceNames(), QStringList{"neu.bmp"});
    // Cancelled: nothing changes.
    f.page->choosePhotoFolder();
    EXPECT_EQ(f.settings.SibankFotoordner, f.photos);
}
