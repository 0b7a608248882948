#pragma once
// "Neuanlegen und Stammdatenimport": new student files from the master data
// of the school server, a Sibank file or any dBase file, in five steps.
#include "exchange/dbase_import.h"
#include "exchange/import_table.h"

#include <QDialog>
#include <array>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;

namespace zedora {

class AppContext;
class HelpLine;

class TFImport : public QDialog {
    Q_OBJECT
public:
    // currentDataDirectory: the main window's data directory; the next one
    // is proposed. conversionMode: opened by the rollover for its
    // comparison file.
    TFImport(AppContext& context, const QString& currentDataDirectory, bool conversionMode = false,
             QWidget* parent = nullptr);

    const ImportTable& importTable() const { return table_; }
    // The folder of the last file created, empty when none was.
    QString lastCreatedDirectory() const { return lastCreatedDirectory_; }

    void done(int result) override;

    // The steps, also for tests and scripted use.
    void selectSource(int index);
    void DatenBereitClick();
    void ErstelleClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildTolvoPage();
    QWidget* buildSibankPage();
    QWidget* buildDbasePage();
    void chooseFile();
    void proposeFileName();
    void fillClassList(const QStringList& classes);
    void classClicked();
    ImportSource source() const;

    AppContext& context_;
    bool conversionMode_;
    bool activated_ = false;
    ImportTable table_;
    QString lastCreatedDirectory_;

    QButtonGroup* artbox_;
    QStackedWidget* pages_;
    QLineEdit* loginEdit_;
    QLineEdit* passwortEdit_;
    QLineEdit* sibankEdit_;
    QLineEdit* dbaseEdit_;
    QPushButton* bereitBtn_;
    QPushButton* feldnamenBtn_ = nullptr;
    QCheckBox* sepDatei_;
    QListWidget* imKlassen_;
    QLineEdit* neuFilename_;
    QComboBox* importsjbox_;
    QPushButton* erstelleBtn_;
    QPushButton* schliessenBtn_;
    QLabel* hint_;
    HelpLine* helpLine_;
};

} // namespace zedora
