#pragma once
// The settings dialog "Einstellungen / Definitionen": the program-wide
// settings, the passwords, the grade and graduation abbreviations and the
// averages. There is no cancel: every way of closing applies what is shown.
#include <QDialog>
#include <QStringList>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QToolButton;

namespace zedora {

class AbbreviationPage;
class AppContext;
class ColourPanel;
class HelpLine;
struct AbbreviationTables;

class TFEinstell : public QDialog {
    Q_OBJECT
public:
    enum class Page { Allgemeines1 = 0, Allgemeines2, Kuerzel, Durchschnitt, Bilddateien };

    // fileFields: the fields of the open student file, whose grade fields the
    // average lists offer; empty: those of a new student file.
    TFEinstell(AppContext& context, AbbreviationTables& tables, const QStringList& fileFields,
               Page page = Page::Allgemeines1, QWidget* parent = nullptr);
    ~TFEinstell() override;

    void showPage(Page page);
    // Takes the values of every page into the settings, saves a changed
    // abbreviation page and loads the active abbreviation file again.
    void applySettings();

    AbbreviationPage& abbreviationPage() { return *abbreviations_; }

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* createGeneralPage1();
    QWidget* createGeneralPage2();
    QWidget* createAveragesPage();
    QWidget* createBottomRow();
    void fillFromSettings();
    void attachHelpCodes();
    void applyAverages();

    AppContext& context_;
    AbbreviationTables& tables_;
    QStringList gradeFields_;
    bool applied_ = false;

    QTabWidget* einstellreg_ = nullptr;
    HelpLine* helpLine_ = nullptr;
    QLabel* hilfe_ = nullptr;
    QPushButton* okBtn_ = nullptr;
    QPushButton* bitBtn1_ = nullptr;

    // Allgemeines I
    QLineEdit *schuln1_, *schuln2_, *schuln3_, *halbj_, *schulj_, *naechschulj_;
    QLineEdit *ausort_, *ausdat_, *ausdat2_, *entw_, *weibEdit_, *maeEdit_, *epBox_;
    QCheckBox *checktbeinzeilig_, *checkBox1_;
    QGroupBox *radioGebFormat_, *fdfmoduswahl_;
    QList<QRadioButton*> gebFormatItems_, fdfItems_;

    // Allgemeines II
    QLineEdit *edit1_, *edit2_, *edit3_, *edit4_;
    bool adminPairTouched_ = false;
    bool startPairTouched_ = false;
    QCheckBox* tbsAlleCheckBox_;
    QSpinBox* musternummer_;
    ColourPanel* panel12_;
    QLabel* panel12Label_;
    QLineEdit *tabLinksBox_, *tabObenBox_, *tabUntenBox_, *tabRechtsBox_;
    QComboBox *pfcombo_, *comboBox1_;
    QToolButton* speedButton5_ = nullptr;
    ColourPanel *panPosi_, *panNegi_, *panBad_, *panel1_, *panel5_;
    QLineEdit *farbbox1_, *farbbox2_, *farbbox3_;
    QCheckBox* checkBox3_;

    // Noten- / Abschlusskürzel
    AbbreviationPage* abbreviations_ = nullptr;

    // Durchschnittsnoten
    QListWidget *defD1_, *defD2_, *defD3_;
    QCheckBox *checkKE_, *checkKM_, *checkKD_, *checkKX_;
};

struct SettingsDialogOptions {
    // Fields of the open student file (see TFEinstell).
    QStringList fileFields;
    // After the settings were written: reopen the current student file
    // keeping its record (this also rebuilds the table and its averages).
    std::function<void()> reopenStudentFile;
};

// The settings commands of the main window. Outside administrator mode
// nothing happens (false). Otherwise the dialog runs on the page; after it
// has closed the program-wide settings are written, the student file is
// reopened, the settings are read again and the active abbreviation file is
// loaded again. The caller posts the pending edit first and applies the
// colour scheme afterwards.
bool openSettingsDialog(AppContext& context, AbbreviationTables& tables, TFEinstell::Page page,
                        QWidget* parent, const SettingsDialogOptions& options = {});

} // namespace zedora
