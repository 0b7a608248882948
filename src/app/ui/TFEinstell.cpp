#include "app/ui/TFEinstell.h"

#include "core/app_context.h"
#include "core/settings.h"
#include "core/ui/help_line.h"
#include "app/ui/password_prompts.h"
#include "app/ui/settings_dialog_abbreviations.h"
#include "app/ui/settings_dialog_widgets.h"
#include "core/user_mode.h"
#include "base/ansi_text.h"
#include "data/student_schema.h"
#include "entry/abbreviation_tables.h"
#include "periphery/ui/photo_workshop_page.h"
#include "data/averages.h"
#include "print/listing_printouts.h"
#include "print/ui/list_preview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zedora {
namespace {

constexpr int kAverageNameLength = 20;
constexpr int kMarginForNonNumber = 50;

QLineEdit* lineEdit(const char* name, int maxLength)
{
    auto* e = new QLineEdit;
    e->setObjectName(QString::fromLatin1(name));
    e->setMaxLength(maxLength);
    return e;
}

QLabel* note(const QString& text)
{
    auto* l = new QLabel(text);
    l->setWordWrap(true);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, p.color(QPalette::PlaceholderText));
    l->setPalette(p);
    return l;
}

QCheckBox* checkBox(const char* name, const QString& caption)
{
    auto* c = new QCheckBox(caption);
    c->setObjectName(QString::fromLatin1(name));
    return c;
}

QGroupBox* radioGroup(const char* name, const QString& title, const QStringList& items,
                      QList<QRadioButton*>& buttons)
{
    auto* g = new QGroupBox(title);
    g->setObjectName(QString::fromLatin1(name));
    auto* v = new QVBoxLayout(g);
    for (int i = 0; i < items.size(); ++i) {
        auto* r = new QRadioButton(items.at(i));
        r->setObjectName(QString::fromLatin1(name) + QString::number(i));
        buttons << r;
        v->addWidget(r);
    }
    return g;
}

int checkedIndex(const QList<QRadioButton*>& buttons)
{
    for (int i = 0; i < buttons.size(); ++i)
        if (buttons.at(i)->isChecked())
            return i;
    return -1;
}

// A margin typed as anything but a whole number.
int marginValue(const QLineEdit* field)
{
    bool ok = false;
    const int value = field->text().trimmed().toInt(&ok);
    return ok ? value : kMarginForNonNumber;
}

// "#" + name + "#" for every checked entry, in list order; "#" for none.
QString averageList(const QListWidget* list)
{
    QString out = QStringLiteral("#");
    for (int i = 0; i < list->count(); ++i) {
        const QListWidgetItem* item = list->item(i);
        if (item->checkState() == Qt::Checked)
            out += upperAscii(item->text()).trimmed() + QLatin1Char('#');
    }
    return out;
}

QStringList gradeFieldsOf(const QStringList& fileFields)
{
    if (fileFields.isEmpty())
        return fieldsOfKind(FieldKind::Grade);
    QStringList out;
    for (const QString& f : fileFields)
        if (fieldKind(f) == FieldKind::Grade)
            out << upperAscii(f).trimmed().left(kAverageNameLength);
    return out;
}

} // namespace

TFEinstell::TFEinstell(AppContext& context, AbbreviationTables& tables, const QStringList& fileFields,
                       Page page, QWidget* parent)
    : QDialog(parent), context_(context), tables_(tables), gradeFields_(gradeFieldsOf(fileFields))
{
    setObjectName(QStringLiteral("TFEinstell"));
    setWindowTitle(QStringLiteral("Einstellungen / Definitionen"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    einstellreg_ = new QTabWidget;
    einstellreg_->setObjectName(QStringLiteral("einstellreg"));
    einstellreg_->setDocumentMode(false);
    auto addPage = [this](QWidget* w, const char* name, const QString& caption) {
        w->setObjectName(QString::fromLatin1(name));
        einstellreg_->addTab(w, caption);
    };
    addPage(createGeneralPage1(), "reg0", QStringLiteral("  Allgemeines I  "));
    addPage(createGeneralPage2(), "reg1", QStringLiteral("  Allgemeines II  "));
    abbreviations_ = new AbbreviationPage(tables_, context_.ui, [&context](const QString& path) {
        if (context.createdFiles)
            context.createdFiles->registerFile(path);
    });
    addPage(abbreviations_, "reg3", QString::fromUtf8("  Noten- / Abschlusskürzel  "));
    addPage(createAveragesPage(), "reg4", QStringLiteral("  Durchschnittsnoten  "));
    addPage(new PhotoWorkshopPage(context_.settings, context_.ui, *context_.files, context_.workspace), "reg5",
            QStringLiteral("  Bilddateien  "));
    layout->addWidget(einstellreg_, 1);
    layout->addWidget(createBottomRow());

    fillFromSettings();
    attachHelpCodes();
    for (QLineEdit* e : findChildren<QLineEdit*>())
        if (!qobject_cast<QSpinBox*>(e->parent()) && !qobject_cast<QComboBox*>(e->parent()))
            refuseUnstorableInput(*e, context_.ui);
    (new FormKeys(*this))->attachAll();

    resize(1040, 640);
    showPage(page);
}

TFEinstell::~TFEinstell() = default;

QWidget* TFEinstell::createGeneralPage1()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);

    auto* school = new QGroupBox(QStringLiteral("Schule"));
    auto* sf = new QFormLayout(school);
    schuln1_ = lineEdit("schuln1", 200);
    schuln2_ = lineEdit("schuln2", 200);
    schuln3_ = lineEdit("schuln3", 200);
    sf->addRow(QStringLiteral("Schulname:"), schuln1_);
    sf->addRow(QStringLiteral("weiterer Name:"), schuln2_);
    sf->addRow(QStringLiteral("weiterer Name:"), schuln3_);

    auto* year = new QGroupBox(QStringLiteral("Schuljahr"));
    auto* yf = new QFormLayout(year);
    halbj_ = lineEdit("halbj", 12);
    schulj_ = lineEdit("schulj", 12);
    naechschulj_ = lineEdit("naechschulj", 12);
    for (QLineEdit* e : {halbj_, schulj_, naechschulj_})
        e->setMaximumWidth(160);
    yf->addRow(QStringLiteral("Halbjahr"), halbj_);
    yf->addRow(QStringLiteral("Schuljahr"), schulj_);
    yf->addRow(QString::fromUtf8("Näch. Schulj."), naechschulj_);

    auto* issue = new QGroupBox(QStringLiteral("Zeugnisausgabe"));
    auto* isf = new QFormLayout(issue);
    ausort_ = lineEdit("ausort", 200);
    ausdat_ = lineEdit("ausdat", 200);
    ausdat2_ = lineEdit("ausdat2", 200);
    isf->addRow(QStringLiteral("Ausgabeort"), ausort_);
    isf->addRow(QStringLiteral("Ausgabedatum"), ausdat_);
    isf->addRow(QStringLiteral("Entlassdatum"), ausdat2_);

    auto* block = new QGroupBox(QStringLiteral("Textblock"));
    auto* bv = new QVBoxLayout(block);
    auto* bf = new QFormLayout;
    entw_ = lineEdit("entw", 200);
    bf->addRow(QString::fromUtf8("Entwertungszeichen für Textblock"), entw_);
    bv->addLayout(bf);
    checktbeinzeilig_ = checkBox("Checktbeinzeilig", QStringLiteral("Textblockentwertung nur einmal"));
    bv->addWidget(checktbeinzeilig_);
    auto* blockNote = note(QStringLiteral("(also nicht in jeder leeren Zeile)"));
    blockNote->setContentsMargins(24, 0, 0, 0);
    bv->addWidget(blockNote);

    auto* entry = new QGroupBox(QStringLiteral("Eingabe und Datenimport"));
    auto* ev = new QVBoxLayout(entry);
    auto* sexLabel = new QLabel(QString::fromUtf8("Zeichen für weiblich / männlich (für Datenimport)"));
    sexLabel->setWordWrap(true);
    ev->addWidget(sexLabel);
    auto* sexRow = new QHBoxLayout;
    weibEdit_ = lineEdit("weibEdit", 1);
    maeEdit_ = lineEdit("maeEdit", 1);
    for (QLineEdit* e : {weibEdit_, maeEdit_}) {
        e->setMaximumWidth(48);
        e->setAlignment(Qt::AlignCenter);
    }
    sexLabel->setBuddy(weibEdit_);
    sexRow->addWidget(weibEdit_);
    sexRow->addWidget(new QLabel(QStringLiteral("/")));
    sexRow->addWidget(maeEdit_);
    sexRow->addStretch(1);
    ev->addLayout(sexRow);
    auto* ef = new QFormLayout;
    epBox_ = lineEdit("epBox", 12);
    epBox_->setMaximumWidth(120);
    ef->addRow(QString::fromUtf8("Kennung für Epochalfächer"), epBox_);
    ev->addLayout(ef);
    checkBox1_ = checkBox("CheckBox1", QStringLiteral("Stammdatenspalte in Eingabetabelle grau markiert"));
    ev->addWidget(checkBox1_);

    radioGebFormat_ = radioGroup("RadioGebFormat", QString::fromUtf8("Format für Geburtsdatum"),
                                 {QStringLiteral("TT.MM.JJ"), QStringLiteral("TT.MM.JJJJ"),
                                  QStringLiteral("TT. %Monat% JJJJ ")},
                                 gebFormatItems_);
    fdfmoduswahl_ = radioGroup("fdfmoduswahl", QStringLiteral("FDF - Systematik"),
                               {QStringLiteral("FDF in Layout integriert (neu)"),
                                QStringLiteral("FDF getrennt (altes Verfahren)")},
                               fdfItems_);

    grid->addWidget(school, 0, 0);
    grid->addWidget(year, 1, 0);
    grid->addWidget(issue, 2, 0);
    grid->addWidget(block, 0, 1);
    grid->addWidget(entry, 1, 1);
    auto* radios = new QHBoxLayout;
    radios->addWidget(radioGebFormat_);
    radios->addWidget(fdfmoduswahl_);
    grid->addLayout(radios, 2, 1);
    grid->setRowStretch(3, 1);
    return page;
}

QWidget* TFEinstell::createGeneralPage2()
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);

    auto passwordGroup = [](const QString& title, QLineEdit* first, QLineEdit* repeat) {
        auto* g = new QGroupBox(title);
        auto* f = new QFormLayout(g);
        setUpPasswordField(*first, 10);
        setUpPasswordField(*repeat, 10);
        f->addRow(QStringLiteral("Neues Kennwort:"), first);
        f->addRow(QStringLiteral("Wiederholen:"), repeat);
        return g;
    };
    edit4_ = lineEdit("Edit4", 10);
    edit3_ = lineEdit("Edit3", 10);
    edit1_ = lineEdit("Edit1", 10);
    edit2_ = lineEdit("Edit2", 10);
    auto* adminGroup = passwordGroup(QStringLiteral("Systembetreuerkennwort"), edit4_, edit3_);
    auto* startGroup = passwordGroup(QStringLiteral("Startkennwort"), edit1_, edit2_);
    for (QLineEdit* e : {edit4_, edit3_})
        connect(e, &QLineEdit::textEdited, this, [this] { adminPairTouched_ = true; });
    for (QLineEdit* e : {edit1_, edit2_})
        connect(e, &QLineEdit::textEdited, this, [this] { startPairTouched_ = true; });

    auto* users = new QGroupBox(QStringLiteral("Anwender und Aussehen"));
    auto* uv = new QVBoxLayout(users);
    tbsAlleCheckBox_ = checkBox("TBSAlleCheckBox",
                                QString::fromUtf8("Bearbeitung der Textbaust. für alle Anwender erlauben"));
    uv->addWidget(tbsAlleCheckBox_);
    auto* uf = new QFormLayout;
    comboBox1_ = new QComboBox;
    comboBox1_->setObjectName(QStringLiteral("ComboBox1"));
    comboBox1_->addItems({QStringLiteral("Standard"), QStringLiteral("Schema 2"), QStringLiteral("Schema 3"),
                          QStringLiteral("Zedora 5")});
    uf->addRow(QStringLiteral("Zedora - Farbschema"), comboBox1_);
    uv->addLayout(uf);

    auto* print = new QGroupBox(QStringLiteral("Druck"));
    auto* pf = new QFormLayout(print);
    musternummer_ = new QSpinBox;
    musternummer_->setObjectName(QStringLiteral("musternummer"));
    musternummer_->setRange(1, 18);
    musternummer_->setMaximumWidth(90);
    pf->addRow(QStringLiteral("Notenfeldmuster Typ (1 - 18)"), musternummer_);
    panel12_ = new ColourPanel(QStringLiteral("Panel12"), context_.ui);
    panel12Label_ = new QLabel(QStringLiteral("Farbe"));
    panel12Label_->setBuddy(panel12_);
    pf->addRow(panel12Label_, panel12_);
    connect(musternummer_, &QSpinBox::valueChanged, this, [this](int type) {
        panel12_->setVisible(type <= 12);
        panel12Label_->setVisible(type <= 12);
    });
    tabLinksBox_ = lineEdit("TabLinksBox", 6);
    tabObenBox_ = lineEdit("TabObenBox", 6);
    tabUntenBox_ = lineEdit("TabUntenBox", 6);
    tabRechtsBox_ = lineEdit("TabRechtsBox", 6);
    for (QLineEdit* e : {tabLinksBox_, tabObenBox_, tabUntenBox_, tabRechtsBox_})
        e->setMaximumWidth(90);
    pf->addRow(QStringLiteral("Linke Randbreite beim Tabellendruck"), tabLinksBox_);
    pf->addRow(QStringLiteral("Obere Randbreite beim Tabellendruck"), tabObenBox_);
    pf->addRow(QStringLiteral("Untere Randbreite beim Tabellendruck"), tabUntenBox_);
    pf->addRow(QStringLiteral("Rechte Randbreite beim Tabellendruck"), tabRechtsBox_);
    pfcombo_ = new QComboBox;
    pfcombo_->setObjectName(QStringLiteral("pfcombo"));
    pfcombo_->addItems({QStringLiteral("First"), QStringLiteral("Middle"), QStringLiteral("EnvManual"),
                        QStringLiteral("SmallFormat"), QStringLiteral("Cassette"), QStringLiteral("Upper"),
                        QStringLiteral("Manual"), QStringLiteral("Auto"), QStringLiteral("LargeFormat"),
                        QStringLiteral("Last"), QStringLiteral("Lower"), QStringLiteral("Envelope"),
                        QStringLiteral("Tractor"), QStringLiteral("LargeFormat")});
    pf->addRow(QStringLiteral("Papierfach"), pfcombo_);
    auto* test = new QToolButton;
    test->setObjectName(QStringLiteral("SpeedButton5"));
    test->setText(QStringLiteral("Druckertest"));
    test->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(test, &QToolButton::clicked, this, [this] {
        applySettings();
        showListPrintout(printerTestFor(context_.settings, context_.workspace), context_.settings, context_.ui,
                         context_.files.get(), this);
    });
    speedButton5_ = test;
    pf->addRow(QString(), test);

    auto* colours = new QGroupBox(QStringLiteral(" Farbsetzungen "));
    auto* cg = new QGridLayout(colours);
    cg->addWidget(new QLabel(QString::fromUtf8("Für welche Noten...")), 0, 0);
    cg->addWidget(new QLabel(QStringLiteral("Farbe")), 0, 1);
    farbbox1_ = lineEdit("farbbox1", 20);
    farbbox2_ = lineEdit("farbbox2", 20);
    farbbox3_ = lineEdit("farbbox3", 20);
    panBad_ = new ColourPanel(QStringLiteral("panBad"), context_.ui);
    panel1_ = new ColourPanel(QStringLiteral("Panel1"), context_.ui);
    panel5_ = new ColourPanel(QStringLiteral("Panel5"), context_.ui);
    const std::array<std::pair<QLineEdit*, ColourPanel*>, 3> chains{
        {{farbbox1_, panBad_}, {farbbox2_, panel1_}, {farbbox3_, panel5_}}};
    int row = 1;
    for (auto [edit, panel] : chains) {
        cg->addWidget(edit, row, 0);
        cg->addWidget(panel, row, 1);
        connect(edit, &QLineEdit::textChanged, panel, &QLabel::setText);
        ++row;
    }
    checkBox3_ = checkBox("CheckBox3", QString::fromUtf8("Übereinstimmung im ersten Zeichen ausreichend"));
    cg->addWidget(checkBox3_, row++, 0, 1, 2);
    panPosi_ = new ColourPanel(QStringLiteral("PanPosi"), context_.ui);
    panNegi_ = new ColourPanel(QStringLiteral("PanNegi"), context_.ui);
    auto* posiLabel = new QLabel(QString::fromUtf8("Für postitiven Notensprung"));
    auto* negiLabel = new QLabel(QString::fromUtf8("Für negativen Notensprung"));
    posiLabel->setBuddy(panPosi_);
    negiLabel->setBuddy(panNegi_);
    cg->setRowMinimumHeight(row++, 8);
    cg->addWidget(posiLabel, row, 0);
    cg->addWidget(panPosi_, row++, 1);
    cg->addWidget(negiLabel, row, 0);
    cg->addWidget(panNegi_, row++, 1);
    cg->setColumnStretch(0, 1);

    grid->addWidget(adminGroup, 0, 0);
    grid->addWidget(startGroup, 1, 0);
    grid->addWidget(users, 2, 0);
    grid->addWidget(print, 0, 1, 3, 1);
    grid->addWidget(colours, 0, 2, 3, 1);
    grid->setRowStretch(3, 1);
    return page;
}

QWidget* TFEinstell::createAveragesPage()
{
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    auto* lists = new QHBoxLayout;
    auto makeList = [&](const char* name, const QString& heading) {
        auto* box = new QVBoxLayout;
        auto* label = new QLabel(heading);
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
        auto* list = new QListWidget;
        list->setObjectName(QString::fromLatin1(name));
        label->setBuddy(list);
        for (const QString& field : gradeFields_) {
            auto* item = new QListWidgetItem(field, list);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Unchecked);
        }
        box->addWidget(label);
        box->addWidget(list, 1);
        lists->addLayout(box);
        return list;
    };
    defD1_ = makeList("def_d1", QStringLiteral("Durchschnittsnote 1"));
    defD2_ = makeList("def_d2", QStringLiteral("Durchschnittsnote 2"));
    defD3_ = makeList("def_d3", QStringLiteral("Durchschnittsnote 3"));
    v->addLayout(lists, 1);

    auto* courses = new QGroupBox(QStringLiteral("Kursniveau"));
    auto* cv = new QGridLayout(courses);
    checkKE_ = checkBox("CheckKE", QStringLiteral("    KE (Kurs Englisch)  ---> EN"));
    checkKM_ = checkBox("CheckKM", QStringLiteral("    KM (Kurs Mathematik  ---> MA"));
    checkKD_ = checkBox("CheckKD", QStringLiteral("    KD (Kurs Deutsch   ---> DE"));
    checkKX_ = checkBox("CheckKX", QStringLiteral("    KX (Kurs X  NaWi)  ---> NoteX"));
    cv->addWidget(checkKE_, 0, 0);
    cv->addWidget(checkKM_, 0, 1);
    cv->addWidget(checkKD_, 1, 0);
    cv->addWidget(checkKX_, 1, 1);
    cv->addWidget(note(QString::fromUtf8("Note des zugehörigen Faches um eins erhöhen, wenn der Inhalt "
                                         "des Feldes \"A\", \"E\" oder \"Z\" ist.")),
                  2, 0, 1, 2);
    v->addWidget(courses);
    return page;
}

QWidget* TFEinstell::createBottomRow()
{
    auto* row = new QWidget;
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    hilfe_ = new QLabel;
    hilfe_->setObjectName(QStringLiteral("hilfe"));
    hilfe_->setWordWrap(true);
    hilfe_->setFrameShape(QFrame::StyledPanel);
    hilfe_->setAutoFillBackground(true);
    hilfe_->setMinimumHeight(2 * fontMetrics().height() + 10);
    hilfe_->setIndent(6);
    hilfe_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    QPalette p = hilfe_->palette();
    p.setColor(QPalette::Window, context_.settings.firstColour);
    p.setColor(QPalette::WindowText, Qt::black);
    hilfe_->setPalette(p);
    helpLine_ = new HelpLine(*hilfe_, context_.helpTexts, this);
    helpLine_->setEnabled(context_.settings.MitHilfe);
    h->addWidget(hilfe_, 1);

    bitBtn1_ = new QPushButton(QStringLiteral("&Drucken"));
    bitBtn1_->setObjectName(QStringLiteral("BitBtn1"));
    connect(bitBtn1_, &QPushButton::clicked, this, [this] {
        // The printout of the page shown, with what the dialog holds now.
        applySettings();
        Settings& s = context_.settings;
        const QString page = einstellreg_->currentWidget()->objectName();
        ListJob job;
        if (page == QLatin1String("reg0") || page == QLatin1String("reg1")) {
            job = listingJob(settingsListing(s));
        } else if (page == QLatin1String("reg3")) {
            const auto grades = abbreviations_->gradeRows();
            const auto codes = abbreviations_->graduationRows();
            job = listingJob(abbreviationsListing(s, abbreviations_->editedFile(),
                                                  QVector<Abbreviation>(grades.begin(), grades.end()),
                                                  QVector<GraduationCode>(codes.begin(), codes.end())));
        } else if (page == QLatin1String("reg4")) {
            job = listingJob(averageListing(s, AverageDefinitions::fromSettings(s)));
        } else {
            return;
        }
        showListPrintout(job, s, context_.ui, context_.files.get(), this);
    });
    okBtn_ = new QPushButton(QString::fromUtf8("&Schließen"));
    okBtn_->setObjectName(QStringLiteral("OKBtn"));
    okBtn_->setDefault(false);
    connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
    h->addWidget(bitBtn1_, 0, Qt::AlignBottom);
    h->addWidget(okBtn_, 0, Qt::AlignBottom);
    return row;
}

void TFEinstell::fillFromSettings()
{
    const Settings& s = context_.settings;
    schuln1_->setText(s.SchulName1);
    schuln2_->setText(s.SchulName2);
    schuln3_->setText(s.SchulName3);
    halbj_->setText(s.Halbjahr);
    schulj_->setText(s.Schuljahr);
    naechschulj_->setText(s.NaechSchuljahr);
    ausort_->setText(s.AusgabeOrt);
    ausdat_->setText(s.AusgabeDatum);
    ausdat2_->setText(s.AusgabeDatum2);
    entw_->setText(s.Entwertung);
    checktbeinzeilig_->setChecked(s.TBeinzeilig);
    weibEdit_->setText(s.Weiblich);
    maeEdit_->setText(s.Maennlich);
    epBox_->setText(s.EpZeichen);
    if (s.GebFormat >= 0 && s.GebFormat < gebFormatItems_.size())
        gebFormatItems_.at(s.GebFormat)->setChecked(true);
    fdfItems_.at(s.FDFAlt ? 1 : 0)->setChecked(true);
    checkBox1_->setChecked(s.Stammdatengrau);

    edit4_->setText(QString::fromLatin1(kPairPresetNew));
    edit3_->setText(QString::fromLatin1(kPairPresetRepeat));
    edit1_->setText(QString::fromLatin1(kPairPresetNew));
    edit2_->setText(QString::fromLatin1(kPairPresetRepeat));
    adminPairTouched_ = startPairTouched_ = false;
    tbsAlleCheckBox_->setChecked(s.TBSFuerAlle);
    musternummer_->setValue(s.Musterart);
    panel12_->setVisible(s.Musterart <= 12);
    panel12Label_->setVisible(s.Musterart <= 12);
    panel12_->setColourValue(s.Musterfarbe);
    tabLinksBox_->setText(QString::number(s.TabLinks));
    tabObenBox_->setText(QString::number(s.TabOben));
    tabUntenBox_->setText(QString::number(s.TabUnten));
    tabRechtsBox_->setText(QString::number(s.TabRechts));
    pfcombo_->setCurrentIndex(qBound(0, s.Papierfach - 1, pfcombo_->count() - 1));
    comboBox1_->setCurrentIndex(qBound(0, s.FARBSCHEMA - 1, comboBox1_->count() - 1));
    panPosi_->setColourValue(s.FarbePosi);
    panNegi_->setColourValue(s.FarbeNegi);
    panBad_->setColourValue(s.Farbe01);
    panel1_->setColourValue(s.Farbe02);
    panel5_->setColourValue(s.Farbe03);
    farbbox1_->setText(s.F1Kette);
    farbbox2_->setText(s.F2Kette);
    farbbox3_->setText(s.F3Kette);
    checkBox3_->setChecked(s.VglLaenge == 1);

    const std::array<std::pair<QListWidget*, QString>, 3> lists{
        {{defD1_, upperAscii(s.DS1)}, {defD2_, upperAscii(s.DS2)}, {defD3_, upperAscii(s.DS3)}}};
    for (const auto& [list, definition] : lists) {
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            const QString framed = QLatin1Char('#') + upperAscii(item->text()).trimmed() + QLatin1Char('#');
            item->setCheckState(definition.contains(framed) ? Qt::Checked : Qt::Unchecked);
        }
    }
    checkKE_->setChecked(s.KE);
    checkKM_->setChecked(s.KM);
    checkKD_->setChecked(s.KD);
    checkKX_->setChecked(s.KX);
}

void TFEinstell::attachHelpCodes()
{
    auto code = [this](const char* name, const char* helpCode) {
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(name)))
            helpLine_->attach(w, QString::fromLatin1(helpCode));
    };
    code("notgitter", "E01");
    code("abschgitter", "E02");
    code("BitBtn3", "E03");
    code("speiUnter", "E04");
    code("schuln1", "E06");
    code("OKBtn", "E07");
    code("BitBtn1", "E08");
    code("schuln2", "E09");
    code("schuln3", "E10");
    code("ausort", "E11");
    code("ausdat", "E12");
    code("ausdat2", "E13");
    code("halbj", "E14");
    code("schulj", "E15");
    code("naechschulj", "E16");
    code("entw", "E17");
    code("weibEdit", "E18");
    code("maeEdit", "E19");
    code("Edit1", "E20");
    code("Edit2", "E21");
    code("Edit3", "E22");
    code("Edit4", "E23");
    for (const char* panel : {"panBad", "Panel1", "Panel5"})
        code(panel, "E24");
    for (const char* box : {"farbbox1", "farbbox2", "farbbox3"})
        code(box, "E25");
    code("PanNegi", "E26");
    code("PanPosi", "E27");
    code("TabLinksBox", "E28");
    code("TabUntenBox", "E29");
    code("TabObenBox", "E30");
    code("musternummer", "E31");
    code("SpeedButton5", "E36");
    code("CheckBox1", "E48");
    for (const char* list : {"def_d1", "def_d2", "def_d3"})
        code(list, "E50");
    for (const char* box : {"CheckKE", "CheckKM", "CheckKD", "CheckKX"})
        code(box, "E51");
    for (const char* b : {"notEinfuegen", "abschEinfuegen"})
        code(b, "L08");
    for (const char* b : {"notLoeschen", "abschLoeschen"})
        code(b, "L10");
}

void TFEinstell::showPage(Page page)
{
    einstellreg_->setCurrentIndex(int(page));
}

void TFEinstell::applyAverages()
{
    Settings& s = context_.settings;
    s.DS1 = averageList(defD1_);
    s.DS2 = averageList(defD2_);
    s.DS3 = averageList(defD3_);
    s.KE = checkKE_->isChecked();
    s.KM = checkKM_->isChecked();
    s.KD = checkKD_->isChecked();
    s.KX = checkKX_->isChecked();
}

void TFEinstell::applySettings()
{
    Settings& s = context_.settings;
    applyAverages();
    abbreviations_->commitEdits();
    if (abbreviations_->changed())
        abbreviations_->save();

    if (const int format = checkedIndex(gebFormatItems_); format >= 0)
        s.GebFormat = format;
    s.FDFAlt = fdfItems_.at(1)->isChecked();

    applyPasswordPairs(s.passwords, context_.ui, {edit4_->text(), edit3_->text(), adminPairTouched_},
                       {edit1_->text(), edit2_->text(), startPairTouched_});
    // Applying again (before a printout) must not repeat the pairs.
    adminPairTouched_ = startPairTouched_ = false;

    s.TabLinks = marginValue(tabLinksBox_);
    s.TabOben = marginValue(tabObenBox_);
    s.TabUnten = marginValue(tabUntenBox_);
    s.TabRechts = marginValue(tabRechtsBox_);
    s.Papierfach = pfcombo_->currentIndex() + 1;
    s.Musterart = musternummer_->value();
    s.setColourScheme(comboBox1_->currentIndex() + 1);

    s.SchulName1 = schuln1_->text().left(200);
    s.SchulName2 = schuln2_->text().left(200);
    s.SchulName3 = schuln3_->text().left(200);
    s.Halbjahr = halbj_->text().left(12);
    s.Schuljahr = schulj_->text().left(12);
    s.NaechSchuljahr = naechschulj_->text().left(12);
    s.AusgabeOrt = ausort_->text().left(200);
    s.AusgabeDatum = ausdat_->text().left(200);
    s.AusgabeDatum2 = ausdat2_->text().left(200);
    s.Entwertung = entw_->text().left(200);
    s.EpZeichen = epBox_->text().left(12);
    s.Weiblich = weibEdit_->text().left(1);
    s.Maennlich = maeEdit_->text().left(1);
    s.Stammdatengrau = checkBox1_->isChecked();
    s.TBeinzeilig = checktbeinzeilig_->isChecked();
    s.TBSFuerAlle = tbsAlleCheckBox_->isChecked();

    s.Musterfarbe = panel12_->colourValue();
    s.FarbePosi = panPosi_->colourValue();
    s.FarbeNegi = panNegi_->colourValue();
    s.Farbe01 = panBad_->colourValue();
    s.Farbe02 = panel1_->colourValue();
    s.Farbe03 = panel5_->colourValue();
    s.F1Kette = normaliseGradeList(farbbox1_->text());
    s.F2Kette = normaliseGradeList(farbbox2_->text());
    s.F3Kette = normaliseGradeList(farbbox3_->text());
    s.VglLaenge = checkBox3_->isChecked() ? 1 : 2;

    tables_.grades.load();
}

void TFEinstell::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        applied_ = false;
    QDialog::showEvent(event);
}

void TFEinstell::done(int result)
{
    if (!applied_) {
        applied_ = true;
        applySettings();
    }
    QDialog::done(result);
}

bool openSettingsDialog(AppContext& context, AbbreviationTables& tables, TFEinstell::Page page,
                        QWidget* parent, const SettingsDialogOptions& options)
{
    if (!context.userMode.isAdministrator())
        return false;
    {
        TFEinstell dialog(context, tables, options.fileFields, page, parent);
        dialog.exec();
    }
    bool written = true;
    if (context.settingsFiles)
        written = context.settingsFiles->writeProgramWide(context.settings, context.userMode.isAdministrator());
    if (options.reopenStudentFile)
        options.reopenStudentFile();
    // After a failed write the file still holds the old values; reading it
    // would throw away what was just set for this run.
    if (context.settingsFiles && written)
        context.settingsFiles->readProgramWide(context.settings);
    tables.grades.load();
    return true;
}

} // namespace zedora
