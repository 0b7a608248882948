// The master-data page captions the two free fields with the source fields
// chosen in the import's reading options, also right after the import
// dialog has changed them.
#include "exchange/ui/import_commands.h"
#include "entry/ui/master_data_page.h"
#include "exchange_support.h"
#include "support/test_main_frame.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace zedora::test {
namespace {

class Frame : public TestMainFrame {
public:
    Workspace ws;
    MasterDataPage* page = nullptr;

    Frame()
    {
        const QString share = QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER/");
        QFile::copy(share + QStringLiteral("demo.dbf"), ws.root + QStringLiteral("ZE-2425-1/10B.DBF"));
        QFile::copy(share + QStringLiteral("demo.dbt"), ws.root + QStringLiteral("ZE-2425-1/10B.DBT"));
        open(ws.ui, ProgramPaths{QStringLiteral(ZEDORA_SHARE_DIR "/"), ws.root, QStringLiteral("PC1")},
             ws.root + QStringLiteral("ZE-2425-1/10B.DBF"));
        page = new MasterDataPage(file->table(), ctx->settings, ws.ui, new QWidget(&main));
        buildMenu();
        installImport(*this);
        admin.setAdministratorMode(true); // the import is the administrator's
        ws.ui.clear();
    }
    QString caption(const char* name) const { return main.findChild<QLabel*>(QLatin1String(name))->text(); }
};

// Runs work on the dialog that is modal when the event loop next turns.
void onModal(const std::function<void(QWidget&)>& work)
{
    QTimer::singleShot(0, [work] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_TRUE(modal);
        work(*modal);
    });
}

TEST(FreeFieldCaptions, ShowTheChosenSourceFieldsAndFollowTheImportDialog)
{
    Frame f;
    f.ctx->settings.FreiFeld1 = QStringLiteral("KL_LEHRER");
    f.ctx->settings.FreiFeld2 = QString();
    f.page->updateFreeFieldCaptions();
    EXPECT_EQ(f.caption("Labelstammf1"), QStringLiteral("KL_LEHRER"));
    EXPECT_EQ(f.caption("Labelstammf2"), QStringLiteral("Zusätzliches Feld 2"));

    bool optionsSeen = false;
    onModal([&](QWidget& import) {
        auto* options = import.findChild<QPushButton*>(QStringLiteral("EinleseBtn"));
        ASSERT_TRUE(options);
        onModal([&](QWidget& zusatz) {
            optionsSeen = zusatz.objectName() == QLatin1String("TFZusatz");
            zusatz.findChild<QComboBox*>(QStringLiteral("edit1"))->setCurrentText(QStringLiteral("KLASSENLEH"));
            zusatz.findChild<QComboBox*>(QStringLiteral("edit2"))->setCurrentText(QStringLiteral("HERKUNFT"));
            zusatz.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
        });
        options->click();
        // Nothing is created: the dialog closes without a file.
        qobject_cast<QDialog*>(&import)->reject();
    });
    QAction* import = f.mainMenu.action(QStringLiteral("MitDatenimportvonSchlerdatei1"));
    ASSERT_TRUE(import->isEnabled());
    import->trigger();

    ASSERT_TRUE(optionsSeen);
    EXPECT_EQ(f.ctx->settings.FreiFeld1, QStringLiteral("KLASSENLEH"));
    EXPECT_EQ(f.caption("Labelstammf1"), QStringLiteral("KLASSENLEH")) << "refreshed without showing the page again";
    EXPECT_EQ(f.caption("Labelstammf2"), QStringLiteral("HERKUNFT"));
    EXPECT_TRUE(f.ws.ui.messages().isEmpty()) << f.ws.ui.messages().join(u'|').toStdString();
}

} // namespace
} // namespace zedora::test
