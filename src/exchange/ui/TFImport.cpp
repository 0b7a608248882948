#include "exchange/ui/TFImport.h"

#include "base/interaction.h"
#include "base/path_resolver.h"
#include "core/app_context.h"
#include "core/ui/help_line.h"
#include "data/student_files.h"
#include "exchange/server_import.h"
#include "exchange/student_file_import.h"
#include "exchange/ui/TFFeld.h"
#include "exchange/ui/TFLesedatei.h"
#include "exchange/ui/TFTolvoOptionen.h"
#include "exchange/ui/TFZusatz.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace zedora {
namespace {

const QString kAll = QStringLiteral("ALLE");

// An edit that opens the file selection when clicked.
class ClickEdit : public QLineEdit {
public:
    ClickEdit(std::function<void()> onClick, QWidget* parent) : QLineEdit(parent), onClick_(std::move(onClick))
    {
        setReadOnly(true);
    }
protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        QLineEdit::mousePressEvent(e);
        if (e->button() == Qt::LeftButton)
            onClick_();
    }
private:
    std::function<void()> onClick_;
};

QStringList dataDirectories(const QString& workspace)
{
    static const QRegularExpression pattern(QStringLiteral("^ZE-\\d{4}-\\d$"), QRegularExpression::CaseInsensitiveOption);
    QStringList dirs;
    for (const QString& d : QDir(workspace).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (pattern.match(d).hasMatch() && d != QStringLiteral("ZE-0000-0"))
            dirs << d;
    return dirs;
}

QPushButton* button(const QString& text, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

} // namespace

TFImport::TFImport(AppContext& ctx, const QString& currentDataDirectory, bool conversionMode, QWidget* parent)
    : QDialog(parent), context_(ctx), conversionMode_(conversionMode)
{
    setObjectName(QStringLiteral("TFImport"));
    setWindowTitle(QStringLiteral("Neuanlegen und Stammdatenimport"));
    Settings& s = ctx.settings;

    auto* artGroupBox = new QGroupBox(QStringLiteral("Import der Daten aus ..."), this);
    artGroupBox->setObjectName(QStringLiteral("artbox"));
    auto* artLayout = new QGridLayout(artGroupBox);
    artbox_ = new QButtonGroup(this);
    const QString captions[] = {QStringLiteral("Tolvo (ab Version 1.8)"), QString(), QStringLiteral("Sibank"),
                                QStringLiteral("Beliebige dBase-Datei")};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(captions[i], artGroupBox);
        radio->setObjectName(QStringLiteral("art%1").arg(i));
        artbox_->addButton(radio, i);
        artLayout->addWidget(radio, i % 2, i / 2);
    }
    connect(artbox_, &QButtonGroup::idClicked, this, &TFImport::selectSource);

    pages_ = new QStackedWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl1"));
    pages_->addWidget(buildTolvoPage());
    pages_->addWidget(buildSibankPage());
    pages_->addWidget(buildDbasePage());

    bereitBtn_ = button(QStringLiteral("Daten bereit stellen"), "BereitBtn", this);
    connect(bereitBtn_, &QPushButton::clicked, this, &TFImport::DatenBereitClick);

    sepDatei_ = new QCheckBox(QStringLiteral("Für jede gewählte Klasse eigene Datei anlegen? Dann als Dateinamen z.B. %KL% "
                                             "eingeben, Nachfolgende eigene Ergänzungen sind erlaubt (z. B. %kl%-0607-1)"),
                              this);
    sepDatei_->setObjectName(QStringLiteral("SepDatei"));
    sepDatei_->setChecked(true);
    connect(sepDatei_, &QCheckBox::clicked, this, &TFImport::proposeFileName);

    imKlassen_ = new QListWidget(this);
    imKlassen_->setObjectName(QStringLiteral("ImKlassen"));
    imKlassen_->setSelectionMode(QAbstractItemView::MultiSelection);
    imKlassen_->setSortingEnabled(false);
    imKlassen_->setMinimumWidth(110);
    connect(imKlassen_, &QListWidget::itemClicked, this, &TFImport::classClicked);

    neuFilename_ = new QLineEdit(this);
    neuFilename_->setObjectName(QStringLiteral("NeuFilename"));
    importsjbox_ = new QComboBox(this);
    importsjbox_->setObjectName(QStringLiteral("importsjbox"));
    const QStringList dirs = dataDirectories(ctx.workspace);
    importsjbox_->addItems(dirs);
    const int current = dirs.indexOf(currentDataDirectory.toUpper());
    importsjbox_->setCurrentIndex(current < 0 ? dirs.size() - 1 : std::min(current + 1, static_cast<int>(dirs.size()) - 1));
    connect(importsjbox_, &QComboBox::currentIndexChanged, this, &TFImport::proposeFileName);
    erstelleBtn_ = button(QStringLiteral("Erstelle Datei(-en)"), "ErstelleBtn", this);
    connect(erstelleBtn_, &QPushButton::clicked, this, &TFImport::ErstelleClick);
    schliessenBtn_ = button(QStringLiteral("&Schließen"), "SchliessenBtn", this);
    connect(schliessenBtn_, &QPushButton::clicked, this, &QDialog::reject);

    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("Hinweis"));
    hint_->setFrameShape(QFrame::Panel);
    hint_->setWordWrap(true);
    helpLine_ = new HelpLine(*hint_, ctx.helpTexts, this);
    helpLine_->setEnabled(s.MitHilfe);
    helpLine_->attach(erstelleBtn_, QStringLiteral("061"));
    helpLine_->attach(schliessenBtn_, QStringLiteral("062"));
    helpLine_->attach(sibankEdit_, QStringLiteral("063"));
    helpLine_->attach(imKlassen_, QStringLiteral("068"));
    helpLine_->attach(feldnamenBtn_, QStringLiteral("066"));

    auto* grid = new QGridLayout;
    const auto step = [&](int n, int row) {
        auto* l = new QLabel(QStringLiteral("%1. Schritt:").arg(n), this);
        l->setObjectName(QStringLiteral("Schritt%1").arg(n));
        grid->addWidget(l, row, 0, Qt::AlignTop);
    };
    step(1, 0);
    grid->addWidget(artGroupBox, 0, 1);
    step(2, 1);
    grid->addWidget(pages_, 1, 1);
    step(3, 2);
    grid->addWidget(bereitBtn_, 2, 1, Qt::AlignLeft);
    step(4, 3);
    grid->addWidget(sepDatei_, 3, 1);
    step(5, 4);
    auto* target = new QGridLayout;
    target->addWidget(new QLabel(QStringLiteral("Neuanlegen  von Datei..."), this), 0, 0);
    target->addWidget(neuFilename_, 1, 0);
    target->addWidget(new QLabel(QStringLiteral("... im Notenverzeichnis"), this), 0, 1);
    target->addWidget(importsjbox_, 1, 1);
    target->addWidget(erstelleBtn_, 1, 2);
    grid->addLayout(target, 4, 1);
    grid->addWidget(imKlassen_, 0, 2, 5, 1);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(schliessenBtn_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(closeRow);
    layout->addWidget(hint_);
    proposeFileName();
    resize(860, 520);
}

QWidget* TFImport::buildTolvoPage()
{
    auto* page = new QWidget(this);
    auto* form = new QGridLayout(page);
    loginEdit_ = new QLineEdit(context_.settings.TolvoLogin, page);
    loginEdit_->setObjectName(QStringLiteral("LoginEdit"));
    passwortEdit_ = new QLineEdit(page);
    passwortEdit_->setObjectName(QStringLiteral("PasswortEdit"));
    passwortEdit_->setEchoMode(QLineEdit::Password);
    auto* options = button(QStringLiteral("Erweiterte Einstellungen"), "OptionenBtn", page);
    connect(options, &QPushButton::clicked, this, [this] { TFTolvoOptionen(context_.settings, this).exec(); });
    form->addWidget(new QLabel(QStringLiteral("Tolvo - Loginname"), page), 0, 0);
    form->addWidget(loginEdit_, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("Passwort"), page), 1, 0);
    form->addWidget(passwortEdit_, 1, 1);
    form->addWidget(options, 2, 1, Qt::AlignLeft);
    form->setRowStretch(3, 1);
    return page;
}

QWidget* TFImport::buildSibankPage()
{
    auto* page = new QWidget(this);
    auto* form = new QGridLayout(page);
    sibankEdit_ = new ClickEdit([this] { chooseFile(); }, page);
    sibankEdit_->setObjectName(QStringLiteral("SibankEdit"));
    auto* options = button(QStringLiteral("Einleseoptionen"), "EinleseBtn", page);
    connect(options, &QPushButton::clicked, this, [this] {
        TFZusatz(context_.settings, resolveIn(context_.workspace, QStringLiteral("MUSTER\\SIBANKFELDER.MST")), this).exec();
    });
    form->addWidget(new QLabel(QStringLiteral("Daten importieren aus Datei ..."), page), 0, 0, 1, 2);
    form->addWidget(sibankEdit_, 1, 0);
    form->addWidget(options, 1, 1);
    form->setRowStretch(2, 1);
    return page;
}

QWidget* TFImport::buildDbasePage()
{
    auto* page = new QWidget(this);
    auto* form = new QGridLayout(page);
    dbaseEdit_ = new ClickEdit([this] { chooseFile(); }, page);
    dbaseEdit_->setObjectName(QStringLiteral("dbaseEdit"));
    auto* browse = button(QStringLiteral("..."), "dbaseBtn", page);
    connect(browse, &QPushButton::clicked, this, &TFImport::chooseFile);
    auto* names = button(QStringLiteral("Feldnamen"), "FeldnamenBtn", page);
    connect(names, &QPushButton::clicked, this, [this] { TFFeld(context_.settings, this).exec(); });
    feldnamenBtn_ = names;
    form->addWidget(new QLabel(QStringLiteral("Daten importieren aus Datei ..."), page), 0, 0, 1, 3);
    form->addWidget(dbaseEdit_, 1, 0);
    form->addWidget(browse, 1, 1);
    form->addWidget(names, 1, 2);
    form->setRowStretch(2, 1);
    return page;
}

void TFImport::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (activated_)
        return;
    activated_ = true;
    imKlassen_->clear();
    sibankEdit_->setText(context_.settings.SibankDatei);
    dbaseEdit_->setText(context_.settings.SibankDatei);
    selectSource(static_cast<int>(importSourceFromSetting(context_.settings.ImportArt)));
}

ImportSource TFImport::source() const
{
    return importSourceFromSetting(artbox_->checkedId());
}

void TFImport::selectSource(int index)
{
    const ImportSource kind = importSourceFromSetting(index);
    if (QAbstractButton* b = artbox_->button(static_cast<int>(kind)))
        b->setChecked(true);
    pages_->setCurrentIndex(kind == ImportSource::Server ? 0 : kind == ImportSource::Sibank ? 1 : 2);
}

void TFImport::chooseFile()
{
    Interaction& ui = context_.ui;
    const bool sibank = source() == ImportSource::Sibank;
    const QString current = context_.settings.SibankDatei;
    const auto chosen = ui.openFile((sibank ? QStringLiteral("Sibankdatei") : QStringLiteral("dBase-Datei"))
                                        + QStringLiteral(" festlegen"),
                                    sibank ? QStringLiteral("Schülerdateien (S*.dbf)") : QStringLiteral("Schülerdateien (*.dbf)"),
                                    QFileInfo(current).path(), QString());
    if (!chosen || chosen->isEmpty())
        return;
    QString file = *chosen;
    if (file.startsWith(QStringLiteral("A:"), Qt::CaseInsensitive) || file.startsWith(QStringLiteral("B:"), Qt::CaseInsensitive))
        ui.warning(QStringLiteral("Bitte kein Diskettenlaufwerk für den Stammdaten-Import benutzen!!"));
    if (!sibank)
        file = dbaseWorkingCopy(file, *context_.files);
    context_.settings.SibankDatei = file.left(200);
    sibankEdit_->setText(context_.settings.SibankDatei);
    dbaseEdit_->setText(context_.settings.SibankDatei);
}

void TFImport::proposeFileName()
{
    neuFilename_->setText(proposedFileName(importsjbox_->currentText(), sepDatei_->isChecked()));
}

void TFImport::fillClassList(const QStringList& classes)
{
    imKlassen_->clear();
    imKlassen_->addItems(classes);
    if (imKlassen_->count() > 0)
        imKlassen_->item(0)->setSelected(true);
}

void TFImport::classClicked()
{
    QListWidgetItem* clicked = imKlassen_->currentItem();
    if (!clicked || imKlassen_->count() == 0)
        return;
    if (clicked->text() == kAll) {
        for (int i = 1; i < imKlassen_->count(); ++i)
            imKlassen_->item(i)->setSelected(false);
        clicked->setSelected(true);
    } else {
        imKlassen_->item(0)->setSelected(false);
    }
}

void TFImport::DatenBereitClick()
{
    Interaction& ui = context_.ui;
    imKlassen_->clear();
    table_.clear();
    const ImportSource kind = source();
    if (kind == ImportSource::Server) {
        const ServerLogin login = serverLogin(context_.settings, loginEdit_->text(), passwortEdit_->text());
        if (!readServerSource(login, context_.settings, table_, ui))
            return;
        reportDoubtfulRows(table_, ui);
        fillClassList(writeClassList(table_, context_.workspace, *context_.files));
        TFLesedatei window(table_, {ui, context_.settings, *context_.files, context_.workspace}, true, conversionMode_, this);
        if (window.exec() != QDialog::Accepted) {
            imKlassen_->clear();
            table_.clear();
        }
        if (conversionMode_)
            accept();
        return;
    }
    if (!readDbaseSource(context_.settings.SibankDatei, kind, context_.settings, table_, ui))
        return;
    reportDoubtfulRows(table_, ui);
    fillClassList(writeClassList(table_, context_.workspace, *context_.files));
    erstelleBtn_->setFocus();
}

void TFImport::ErstelleClick()
{
    CreateRequest request;
    request.dataDirectory = importsjbox_->currentText();
    request.fileName = neuFilename_->text();
    request.perClass = sepDatei_->isChecked();
    request.source = source();
    for (QListWidgetItem* item : imKlassen_->selectedItems())
        request.selected << item->text();
    if (imKlassen_->count() == 0) {
        context_.ui.info(QStringLiteral("Es ist keine Erstellung möglich,\n\nweil keine Daten bereit stehen!\n"));
        return;
    }
    const StudentFileContext files{context_.workspace, context_.paths.computerName, *context_.files, context_.ui};
    const std::vector<CreatedFile> created = createStudentFiles(table_, request, files);
    if (!created.empty())
        lastCreatedDirectory_ = QFileInfo(created.back().path).path();
    if (request.perClass)
        for (QListWidgetItem* item : imKlassen_->selectedItems())
            item->setSelected(false);
}

void TFImport::done(int result)
{
    Settings& s = context_.settings;
    s.ImportArt = static_cast<int>(source());
    s.TolvoLogin = loginEdit_->text().trimmed().left(40);
    passwortEdit_->clear();   // typed for each read, kept nowhere
    QDialog::done(result);
}

} // namespace zedora
