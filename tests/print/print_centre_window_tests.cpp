// The print centre window on the offscreen platform: what it shows when
// opened, the range rule, layout buttons with empty, missing and valid
// slots, copies into the preview's job, the slot menu's permission and
// template refusal, and archiving from the window.
#include "print/print_centre.h"
#include "print/printer_output.h"
#include "print/ui/TFDruck.h"
#include "print_centre_support.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <gtest/gtest.h>

using namespace zedora;
using namespace zedora::testing;

namespace {

struct CentreFixture {
    DemoWorkspace ws;
    Settings settings;
    ScriptedInteraction ui;
    PrintMetrics metrics;
    ListRecords records = demoClass(5);
    bool admin = false;
    QString currentChanged = QStringLiteral("-");
    int loaded = 0;
    std::unique_ptr<TFDruck> window;
    QVector<PreviewJob> jobs;

    CentreFixture()
    {
        records.current = 1;
        window = std::make_unique<TFDruck>(settings, ui, metrics);
        window->openPreview = [this](PreviewJob job) { jobs.append(job); };
        settings.Layout[1] = ws.layout();
        settings.Layout[2] = ws.root() + QStringLiteral("LAYOUT/WEG.LAY");
        settings.Layout[3].clear();
        window->prepare(sources());
    }

    PrintCentreSources sources()
    {
        PrintCentreSources s;
        s.records = &records;
        s.context.settings = &settings;
        s.context.ui = &ui;
        s.workspace = ws.root();
        s.currentLayout = ws.layout();
        s.klasse = QStringLiteral("10b");
        s.graduationCodes = {QStringLiteral("HS"), QStringLiteral("RS")};
        s.administrator = [this] { return admin; };
        s.currentLayoutChanged = [this](const QString& p) { currentChanged = p; };
        s.layoutLoaded = [this](const QStringList&) { ++loaded; };
        return s;
    }

    template <class T> T* find(const QString& name)
    {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }
    QListWidget* list() { return find<QListWidget>(QStringLiteral("ListBox1")); }
    QPushButton* slot(int n) { return find<QPushButton>(QStringLiteral("l%1").arg(n)); }
    int selectedCount() { return int(list()->selectedItems().size()); }
};

} // namespace

TEST(PrintCentreWindow, OpensWithTheClassTheCurrentStudentAndTheSlotCaptions)
{
    CentreFixture f;
    EXPECT_EQ(f.window->windowTitle(), QStringLiteral("Druckzentrum"));
    ASSERT_EQ(f.list()->count(), 5);
    EXPECT_EQ(f.selectedCount(), 1);
    EXPECT_TRUE(f.list()->item(1)->isSelected());
    EXPECT_EQ(PrintCentre::idOfLine(f.list()->item(1)->text()), QStringLiteral("ID002"));
    EXPECT_EQ(f.find<QGroupBox>(QStringLiteral("GroupBox1"))->title(), QStringLiteral("Klasse 10b"));
    EXPECT_EQ(f.slot(12)->text(), QStringLiteral("DEMO.LAY"));
    EXPECT_EQ(f.slot(1)->text(), QStringLiteral("DEMO.LAY"));
    EXPECT_EQ(f.slot(2)->text(), QStringLiteral("WEG.LAY"));
    EXPECT_TRUE(f.slot(3)->text().isEmpty());
    EXPECT_EQ(f.window->findChild<QPushButton*>(QStringLiteral("l13")), nullptr);
    auto* ab = f.find<QComboBox>(QStringLiteral("abBox"));
    EXPECT_EQ(ab->count(), 3);
    EXPECT_EQ(ab->currentText(), QStringLiteral("Alle"));
    EXPECT_EQ(f.find<QComboBox>(QStringLiteral("layoutbox"))->currentText(), QStringLiteral("DEMO.LAY"));
    auto* spin = f.find<QSpinBox>(QStringLiteral("anzahlspin"));
    EXPECT_EQ(spin->minimum(), 1);
    EXPECT_EQ(spin->maximum(), 10);
    EXPECT_EQ(f.slot(4)->toolTip(), QStringLiteral("Schalterbelegung ändern mit rechter Maustaste"));
}

TEST(PrintCentreWindow, RangeRuleSelectsTheClassAndAClickGoesBackToSelection)
{
    CentreFixture f;
    auto* whole = f.find<QRadioButton>(QStringLiteral("bereich1"));
    auto* selection = f.find<QRadioButton>(QStringLiteral("bereich0"));
    auto* ab = f.find<QComboBox>(QStringLiteral("abBox"));
    ab->setCurrentIndex(2);
    whole->click();
    EXPECT_EQ(f.selectedCount(), 5);
    EXPECT_FALSE(ab->isEnabled());
    EXPECT_EQ(ab->currentText(), QStringLiteral("RS")) << "the code is kept";
    f.list()->clearSelection();
    f.list()->item(3)->setSelected(true);
    EXPECT_TRUE(selection->isChecked());
    EXPECT_TRUE(ab->isEnabled());
    EXPECT_EQ(selection->text(), QStringLiteral("Auswahl (gewählt: 1)"));
}

TEST(PrintCentreWindow, LayoutButtonsTellEmptyAndMissingSlotsAndRunTheSelectionWithCopies)
{
    CentreFixture f;
    f.slot(3)->click();
    f.slot(2)->click();
    EXPECT_EQ(f.ui.messages(), (QStringList{QStringLiteral("Schalter nicht belegt!\nBelegung ändern mit rechter Maustaste."),
                                            QStringLiteral("Layoutdatei nicht gefunden!")}));
    EXPECT_TRUE(f.jobs.isEmpty());

    f.list()->item(3)->setSelected(true);
    f.find<QSpinBox>(QStringLiteral("anzahlspin"))->setValue(3);
    f.slot(12)->click();
    ASSERT_EQ(f.jobs.size(), 1);
    EXPECT_EQ(f.loaded, 1);
    const PreviewJob& job = f.jobs[0];
    EXPECT_EQ(job.kind, JobKind::ReportCards);
    EXPECT_EQ(job.run.selection, RecordSelection::Selection);
    EXPECT_EQ(job.run.ids, (QStringList{"ID002", "ID002", "ID002", "ID004", "ID004", "ID004"}));
    // The job renders one page per entry, each the student it names.
    RecordingSurface surface;
    EXPECT_EQ(job.renderer->render(surface, *job.records, job.run), 6);
    EXPECT_EQ(f.ui.messages().size(), 2);
}

TEST(PrintCentreWindow, WholeClassWithAnUnusedCodeOpensNoPreview)
{
    CentreFixture f;
    f.find<QComboBox>(QStringLiteral("abBox"))->setCurrentIndex(1);
    f.find<QRadioButton>(QStringLiteral("bereich1"))->click();
    for (auto& row : f.records.rows)
        row.insert(QStringLiteral("ABSCH"), QStringLiteral("RS"));
    f.slot(1)->click();
    EXPECT_TRUE(f.jobs.isEmpty());
    EXPECT_EQ(f.ui.messages(), QStringList{QStringLiteral("Keinen Schüler (Abschluss HS) gefunden!")});
}

TEST(PrintCentreWindow, SlotMenuNeedsTheAdministratorAndRefusesTemplates)
{
    CentreFixture f;
    f.window->slotMenuChosen(1, QStringLiteral("Löschen"));
    f.window->slotMenuChosen(1, QStringLiteral("Ändern"));
    f.window->slotMenuChosen(1, QStringLiteral("Abbruch"));
    EXPECT_EQ(f.ui.messages(), (QStringList{QStringLiteral("Diese Funktion ist im Systembetreuermodus möglich!"),
                                            QStringLiteral("Diese Funktion ist im Systembetreuermodus möglich!")}));
    EXPECT_EQ(f.settings.Layout[1], f.ws.layout());

    f.admin = true;
    f.ui.clear();
    f.ui.texts.enqueue(f.ws.root() + QStringLiteral("LayoutVorlagen/MUSTER.LAY"));
    f.window->slotMenuChosen(4, QStringLiteral("Ändern"));
    EXPECT_EQ(f.ui.messages(), QStringList{QStringLiteral("An dieser Stelle kann keine Layoutdatei aus\n\ndem Vorlagenordner gewählt werden!")});
    EXPECT_TRUE(f.settings.Layout[4].isEmpty());

    f.ui.texts.enqueue(f.ws.root() + QStringLiteral("LAYOUT/ZWEI.LAY"));
    f.window->slotMenuChosen(4, QStringLiteral("Ändern"));
    EXPECT_EQ(f.settings.Layout[4], f.ws.root() + QStringLiteral("LAYOUT/ZWEI.LAY"));
    EXPECT_EQ(f.slot(4)->text(), QStringLiteral("ZWEI.LAY"));

    f.window->slotMenuChosen(12, QStringLiteral("Löschen"));
    EXPECT_TRUE(f.currentChanged.isEmpty());
    EXPECT_TRUE(f.slot(12)->text().isEmpty());
    f.window->slotMenuChosen(1, QStringLiteral("Löschen"));
    EXPECT_TRUE(f.settings.Layout[1].isEmpty());
}

TEST(PrintCentreWindow, ArchiveOutsideAHalfYearFolderIsRefusedWithoutWritingAnything)
{
    CentreFixture f;
    // The student file lies in no ZE- folder: there is no archive folder for it.
    f.window->archiveSelected();
    ASSERT_EQ(f.ui.messages().size(), 1);
    EXPECT_TRUE(f.ui.messages()[0].startsWith(QStringLiteral("Der Ordner des Dokumentenarchivs ")));
    EXPECT_FALSE(QDir(f.ws.root() + QStringLiteral("DOKU-PDF-ARCHIV")).exists());
}

TEST(PrintCentreWindow, ArchiveWritesTheSelectedStudentsIntoTheClassFolderOfTheHalfYear)
{
    CentreFixture f;
    QDir(f.ws.root()).mkpath(QStringLiteral("ZE-1314-1"));
    PrintCentreSources s = f.sources();
    s.studentFile = f.ws.root() + QStringLiteral("ZE-1314-1/10B.DBF");
    f.window->prepare(s);
    f.list()->item(0)->setSelected(true);
    f.window->archiveSelected();
    const QDir folder(f.ws.root() + QStringLiteral("DOKU-PDF-ARCHIV/ZE-1314-1/10b"));
    EXPECT_EQ(folder.entryList(QDir::Files).size(), 2) << f.ui.messages().join(u'|').toStdString();
    ASSERT_FALSE(f.ui.messages().isEmpty());
    EXPECT_TRUE(f.ui.messages().last().startsWith(QStringLiteral("2 PDF-Dateien nach ")));

    // Again: each existing file is asked about; "Nein" keeps it.
    f.ui.clear();
    f.ui.answers.enqueue(Answer::No);
    f.ui.answers.enqueue(Answer::Yes);
    f.window->archiveSelected();
    ASSERT_EQ(f.ui.messages().size(), 3);
    EXPECT_TRUE(f.ui.messages()[0].endsWith(QStringLiteral(" gibt es schon.\nÜberschreiben?")));
    EXPECT_TRUE(f.ui.messages()[2].startsWith(QStringLiteral("1 PDF-Dateien nach ")));
    EXPECT_TRUE(f.ui.messages()[2].endsWith(QStringLiteral("1 vorhandene Dateien blieben unverändert.")));
}

TEST(PrintCentreWindow, AFixedPrinterThatIsGoneFallsBackToTheDefaultAndForgetsItsNumber)
{
    CentreFixture f;
    f.settings.FesterDruckerGewaehlt = true;
    f.settings.FesterDruckerNummer = int(printerNames().size()) + 5;
    f.window->prepare(f.sources());
    EXPECT_EQ(f.settings.FesterDruckerNummer, -1);
    auto* box = f.find<QComboBox>(QStringLiteral("DruckerBox"));
    EXPECT_EQ(box->count(), printerNames().size());
    EXPECT_EQ(box->currentText(), jobPrinter(f.settings));
    auto* fixed = f.find<QCheckBox>(QStringLiteral("CheckBox2"));
    EXPECT_TRUE(fixed->isChecked());
    EXPECT_TRUE(box->isEnabled());
    fixed->click();
    EXPECT_FALSE(f.settings.FesterDruckerGewaehlt);
    EXPECT_FALSE(box->isEnabled());
}
