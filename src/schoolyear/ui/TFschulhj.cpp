#include "schoolyear/ui/TFschulhj.h"

#include "base/interaction.h"
#include "core/app_context.h"
#include "core/ui/main_frame.h"
#include "data/current_student_file.h"
#include "data/student_table_model.h"
#include "schoolyear/rollover.h"
#include "schoolyear/rollover_columns.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace zedora {
namespace {

QLineEdit* lineEdit(const char* name, QWidget* parent, bool readOnly = false)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(readOnly);
    return e;
}

QPushButton* button(const char* name, const char* text, QWidget* parent)
{
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

// Filters watching a read-only field for clicks.
class ClickFilter : public QObject {
public:
    ClickFilter(QObject* parent, std::function<void()> onClick) : QObject(parent), onClick_(std::move(onClick)) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::MouseButtonRelease)
            onClick_();
        return false;
    }

private:
    std::function<void()> onClick_;
};

} // namespace

TFschulhj::TFschulhj(MainFrame& frame, QWidget* parent) : QDialog(parent), frame_(frame)
{
    setObjectName(QStringLiteral("TFschulhj"));
    setModal(true);
    setWindowTitle(QStringLiteral("Datei speichern unter ...   und Spalteninhalte löschen"));
    CurrentStudentFile& file = frame_.studentFile();
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    aktDatei_ = lineEdit("akt_datei", this, true);
    aktDatei_->setText(file.path());
    form->addRow(QStringLiteral("Aktuelle Datei:"), aktDatei_);
    aktDatei_->installEventFilter(new ClickFilter(aktDatei_, [this] { chooseCurrentFile(); }));
    neueDatei_ = lineEdit("neueDatei", this);
    neueDatei_->setText(file.fileName());
    form->addRow(QStringLiteral("Neue Datei:     Dateiname"), neueDatei_);
    shjbox2_ = new QComboBox(this);
    shjbox2_->setObjectName(QStringLiteral("shjbox2"));
    QStringList dirs = QDir(frame_.context().workspace)
                           .entryList({QStringLiteral("ZE-*")}, QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    shjbox2_->addItems(dirs);
    const int current = int(dirs.indexOf(file.dataDirectoryName()));
    shjbox2_->setCurrentIndex(current < 0 ? 0 : std::min(current + 1, int(dirs.size()) - 1));
    form->addRow(QStringLiteral("... im Verzeichnis"), shjbox2_);
    edit1_ = lineEdit("Edit1", this);
    edit1_->setText(file.table().isEmpty() ? QString() : file.table().value(QStringLiteral("KLASSE")).trimmed());
    auto* classRow = new QHBoxLayout;
    classRow->addWidget(new QLabel(QStringLiteral("Neue Datei soll alle Schüler der Klasse ..."), this));
    classRow->addWidget(edit1_);
    classRow->addWidget(new QLabel(QStringLiteral("enthalten"), this));
    layout->addLayout(form);
    layout->addLayout(classRow);

    checkBox1_ = new QCheckBox(QStringLiteral("Abgleich mit aktuellen Tolvo-Daten (bzw. Sibank)"), this);
    checkBox1_->setObjectName(QStringLiteral("CheckBox1"));
    sibdatei_ = lineEdit("sibdatei", this, true);
    sibdatei_->setText(frame_.context().settings.SibankDatei);
    sibdatei_->setToolTip(QStringLiteral("Sibank/SibankPlus: Datei im Sibank-Format hier wählen"));
    sibdatei_->setEnabled(false);
    sibdatei_->installEventFilter(new ClickFilter(sibdatei_, [this] {
        if (sibdatei_->isEnabled())
            chooseComparisonFile();
    }));
    speedButton6_ = button("SpeedButton6", "Abgleichdaten (Tolvo) bereit stellen", this);
    // Producing the comparison file from the school server belongs to the
    // import window; here the file is chosen.
    speedButton6_->setEnabled(false);
    layout->addWidget(checkBox1_);
    auto* sibRow = new QHBoxLayout;
    sibRow->addWidget(sibdatei_, 1);
    sibRow->addWidget(speedButton6_);
    layout->addLayout(sibRow);
    connect(checkBox1_, &QCheckBox::toggled, this, [this](bool on) { sibdatei_->setEnabled(on); });

    auto* lists = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("Welche Spalteninhalte sollen in neuer Datei gelöscht werden?"), this));
    clb_ = new QListWidget(this);
    clb_->setObjectName(QStringLiteral("clb"));
    left->addWidget(clb_);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("... mit Ausnahme folgender Spalten"), this));
    ausnahmebox_ = new QListWidget(this);
    ausnahmebox_->setObjectName(QStringLiteral("Ausnahmebox"));
    for (const char* group : {"Arbeitsgemeinschaften", "Wahlpflichtkurse", "Epochalfächer"}) {
        auto* item = new QListWidgetItem(QString::fromUtf8(group), ausnahmebox_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    ausnahmebox_->setMaximumHeight(80);
    right->addWidget(ausnahmebox_);
    auto* markButton = button("BitBtn3", "Alle zum Löschen markieren", this);
    auto* keepButton = button("BitBtn4", "Alle Feldinhalte erhalten", this);
    right->addWidget(markButton);
    right->addWidget(keepButton);
    right->addStretch();
    lists->addLayout(left, 2);
    lists->addLayout(right, 1);
    layout->addLayout(lists);

    auto* buttons = new QHBoxLayout;
    auto* create = button("BitBtn1", "&Datei erstellen ", this);
    auto* close = button("BitBtn2", "&Schließen", this);
    buttons->addStretch();
    buttons->addWidget(create);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(markButton, &QPushButton::clicked, this, &TFschulhj::markAll);
    connect(keepButton, &QPushButton::clicked, this, &TFschulhj::keepAll);
    connect(create, &QPushButton::clicked, this, [this] { createFile(); });
    connect(close, &QPushButton::clicked, this, &TFschulhj::closeDialog);

    fillColumns();
    markAll();
    resize(720, 560);
}

void TFschulhj::fillColumns()
{
    clb_->clear();
    StudentTableModel& model = frame_.entryModel();
    for (int i = 0; i < model.columnCount(); ++i) {
        const ColumnSpec* layoutColumn = model.column(i);
        if (!layoutColumn || !isClearableColumn(layoutColumn->field))
            continue;
        auto* item = new QListWidgetItem(QString::number(i + 1).leftJustified(3, QLatin1Char(' '))
                                             + layoutColumn->caption.trimmed(),
                                         clb_);
        item->setData(Qt::UserRole, layoutColumn->field);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void TFschulhj::chooseCurrentFile()
{
    CurrentStudentFile& file = frame_.studentFile();
    frame_.takeOverInput();
    if (!file.table().savePending())
        return;
    const auto chosen = frame_.context().ui.openFile(QStringLiteral("Schülerdatei öffnen"),
                                                     QStringLiteral("Schülerdateien (*.DBF *.dbf)"),
                                                     QFileInfo(file.path()).absolutePath(), QString());
    if (!chosen)
        return;
    file.open(*chosen);
    file.table().setTag(QStringLiteral("NAME"));
    aktDatei_->setText(file.path());
    fillColumns();
    markAll();
}

void TFschulhj::markAll()
{
    ColumnExceptions e;
    e.workingGroups = ausnahmebox_->item(0)->checkState() == Qt::Checked;
    e.electives = ausnahmebox_->item(1)->checkState() == Qt::Checked;
    e.epochal = ausnahmebox_->item(2)->checkState() == Qt::Checked;
    const auto& ep = frame_.studentFile().assignments().EP;
    e.epochalSubjects = QStringList(ep.begin(), ep.end());
    for (int i = 0; i < clb_->count(); ++i) {
        QListWidgetItem* item = clb_->item(i);
        item->setCheckState(isExcepted(item->data(Qt::UserRole).toString(), e) ? Qt::Unchecked : Qt::Checked);
    }
}

void TFschulhj::keepAll()
{
    for (int i = 0; i < clb_->count(); ++i)
        clb_->item(i)->setCheckState(Qt::Unchecked);
}

QStringList TFschulhj::checkedFields() const
{
    QStringList fields;
    for (int i = 0; i < clb_->count(); ++i)
        if (clb_->item(i)->checkState() == Qt::Checked)
            fields << clb_->item(i)->data(Qt::UserRole).toString();
    return fields;
}

QString TFschulhj::chooseComparisonFile()
{
    AppContext& ctx = frame_.context();
    const auto chosen = ctx.ui.openFile(QStringLiteral("Sibank(-Plus)-Datei"), QStringLiteral("Sibank-DBF (*.DBF *.dbf)"),
                                        QFileInfo(ctx.settings.SibankDatei).absolutePath(), sibdatei_->text());
    if (chosen) {
        sibdatei_->setText(*chosen);
        ctx.settings.SibankDatei = *chosen;
    }
    return sibdatei_->text();
}

bool TFschulhj::createFile()
{
    AppContext& ctx = frame_.context();
    CurrentStudentFile& file = frame_.studentFile();
    frame_.takeOverInput();
    if (!file.table().savePending())
        return false;
    RolloverRequest r;
    r.workspace = ctx.workspace;
    r.sourcePath = file.path();
    r.dataDirectory = shjbox2_->currentText();
    r.newName = neueDatei_->text();
    r.newClass = edit1_->text();
    r.clearFields = checkedFields();
    r.compare = checkBox1_->isChecked();
    r.compareFile = sibdatei_->text();
    r.codeListFolder = QFileInfo(ctx.settings.SibankDatei).absolutePath();
    r.keepWorkingGroups = ausnahmebox_->item(0)->checkState() == Qt::Checked;
    r.keepElectives = ausnahmebox_->item(1)->checkState() == Qt::Checked;
    RolloverSettings s;
    s.computerName = ctx.paths.computerName;
    s.leaversToo = ctx.settings.AbgImport;
    s.female = ctx.settings.Weiblich;
    s.male = ctx.settings.Maennlich;
    file.table().suspendViews();
    const auto counts = rollOver(r, s, ctx.ui);
    file.table().resumeViews();
    if (!counts)
        return false;
    for (int i = 0; i < clb_->count(); ++i)
        clb_->item(i)->setCheckState(Qt::Unchecked);
    created_ = true;
    createdPath_ = rolloverTarget(r);
    return true;
}

void TFschulhj::closeDialog()
{
    if (created_) {
        const QFileInfo fi(createdPath_);
        const Answer a = frame_.context().ui.ask(QStringLiteral("Soll die neu erstellte Datei ") + fi.fileName()
                                                     + QStringLiteral("\n\n") + QStringLiteral("im Verzeichnis ")
                                                     + fi.dir().dirName() + QStringLiteral("\n\n")
                                                     + QStringLiteral("geöffnet werden?\n"),
                                                 Buttons::YesNoCancel);
        if (a == Answer::Yes)
            frame_.studentFile().open(createdPath_);
    }
    accept();
}

} // namespace zedora
