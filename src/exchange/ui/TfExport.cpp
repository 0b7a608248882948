#include "exchange/ui/TfExport.h"

#include "base/path_resolver.h"
#include "base/workspace_relative.h"
#include "core/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

namespace zedora {

namespace {

const char* const kHint = "Mehrere Dateien mit Strg+Linksklick an- bzw. abwählen";

QStringList filesMatching(const QString& folder, const QStringList& masks)
{
    QDir dir(folder);
    dir.setNameFilters(masks); // name filters ignore letter case
    return dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QListWidget* fileBox(const char* name, const QColor& colour)
{
    auto* box = new QListWidget;
    box->setObjectName(QLatin1String(name));
    box->setSelectionMode(QAbstractItemView::MultiSelection);
    box->setToolTip(QString::fromUtf8(kHint));
    QPalette p = box->palette();
    p.setColor(QPalette::Base, colour);
    box->setPalette(p);
    return box;
}

QLabel* boxLabel(const QString& text, const QColor& colour)
{
    auto* label = new QLabel(text);
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, colour);
    label->setPalette(p);
    return label;
}

void selectNamed(QListWidget* box, const QString& name)
{
    if (name.isEmpty())
        return;
    for (int i = 0; i < box->count(); ++i) {
        if (box->item(i)->text().compare(lastComponent(name), Qt::CaseInsensitive) == 0)
            box->item(i)->setSelected(true);
    }
}

QStringList selectedNames(const QListWidget* box)
{
    QStringList names;
    for (int i = 0; i < box->count(); ++i) {
        if (box->item(i)->isSelected())
            names << box->item(i)->text();
    }
    return names;
}

} // namespace

TfExport::TfExport(ExportMode mode, ExportStart start, Settings& settings, Interaction& ui,
                   TNeueDateien* createdFiles, QWidget* parent)
    : QDialog(parent), mode_(mode), start_(std::move(start)), settings_(settings), ui_(ui),
      createdFiles_(createdFiles)
{
    setObjectName(QStringLiteral("fExport"));
    setWindowTitle(QStringLiteral("Exportfenster"));
    setModal(true);
    const QColor first = settings_.firstColour, second = settings_.secondColour;

    const QString studentFolder = QFileInfo(resolvePath(start_.studentFile)).path();
    layoutFolder_ = start_.layoutFile.isEmpty() ? resolveIn(start_.workspace, QStringLiteral("LAYOUT"))
                                                : QFileInfo(resolvePath(start_.layoutFile)).path();
    const bool fdf = settings_.FDFAlt;

    boxDbf_ = fileBox("BoxDBF", second);
    boxDbf_->addItems(filesMatching(studentFolder, {QStringLiteral("*.DBF")}));
    boxTbs_ = fileBox("BoxTBS", second);
    boxTbs_->addItems(filesMatching(resolveIn(start_.workspace, QStringLiteral("DEFINI")),
                                    fdf ? QStringList{QStringLiteral("#*.DBF"), QStringLiteral("*.FDF")}
                                        : QStringList{QStringLiteral("#*.DBF")}));
    boxLay_ = fileBox("BoxLAY", second);
    boxLay_->addItems(filesMatching(layoutFolder_, {QStringLiteral("*.LAY"), QStringLiteral("*.WMF"),
                                                    QStringLiteral("*.JPG")}));

    auto column = [](QLabel* label, QListWidget* box) {
        auto* w = new QWidget;
        auto* l = new QVBoxLayout(w);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(0);
        l->addWidget(label);
        l->addWidget(box, 1);
        w->setFixedWidth(130);
        return w;
    };
    const QString studentShort = workspaceShortForm(studentFolder, RelativeKind::StudentFile, start_.workspace);
    const QString layoutShort = workspaceShortForm(layoutFolder_, RelativeKind::Layout, start_.workspace);
    labelTbs_ = boxLabel(fdf ? QStringLiteral("TBS- und FDF-Dateien\n... DEFINI")
                             : QStringLiteral("Textbausteindateien\n... DEFINI"), first);
    labelLay_ = boxLabel(QStringLiteral("Layoutdateien\n... ") + layoutShort, first);
    auto* lists = new QHBoxLayout;
    lists->setSpacing(0);
    lists->addWidget(column(boxLabel(QStringLiteral("Notendateien\n... ") + studentShort, first), boxDbf_));
    auto* tbsColumn = column(labelTbs_, boxTbs_);
    auto* layColumn = column(labelLay_, boxLay_);
    tbsColumn->setObjectName(QStringLiteral("tbsColumn"));
    layColumn->setObjectName(QStringLiteral("layColumn"));
    lists->addWidget(tbsColumn);
    lists->addWidget(layColumn);
    lists->addStretch();

    auto* panel = new QGroupBox(QStringLiteral("In Export mit einschließen"));
    panel->setObjectName(QStringLiteral("Panel1"));
    cb1_ = new QCheckBox(fdf ? QStringLiteral("TBS-, FDF- und Layoutdateien")
                             : QStringLiteral("Textbaustein- + Layoutdateien"));
    cb1_->setObjectName(QStringLiteral("cb1"));
    cb2_ = new QCheckBox(QStringLiteral("Kürzel- und Abschlussdateien"));
    cb2_->setObjectName(QStringLiteral("cb2"));
    cb3_ = new QCheckBox(QStringLiteral("Voreinstellungen (zedora.ini)"));
    cb3_->setObjectName(QStringLiteral("cb3"));
    auto* boxes = new QVBoxLayout(panel);
    boxes->addWidget(cb1_);
    boxes->addWidget(cb2_);
    boxes->addWidget(cb3_);
    connect(cb1_, &QCheckBox::toggled, this, [this] { showOptionalBoxes(); });

    auto* go = new QPushButton(QStringLiteral("&Export starten "));
    go->setObjectName(QStringLiteral("BitBtn1"));
    auto* cancel = new QPushButton(QStringLiteral("&Abbrechen"));
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    connect(go, &QPushButton::clicked, this, [this] {
        startExport();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(go);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->addLayout(lists, 1);
    layout->addWidget(panel);
    layout->addLayout(buttons);
    setFixedWidth(3 * 130 + 10);
    resize(3 * 130 + 10, 420);
    showOptionalBoxes();
}

void TfExport::showEvent(QShowEvent* event)
{
    if (!preselected_)
        preselect();
    QDialog::showEvent(event);
}

void TfExport::preselect()
{
    preselected_ = true;
    if (mode_ == ExportMode::Backup) {
        for (QListWidget* box : {boxDbf_, boxTbs_, boxLay_})
            box->selectAll();
        cb1_->setChecked(true);
        cb2_->setChecked(true);
        cb3_->setChecked(true);
    } else {
        selectNamed(boxDbf_, start_.studentFile);
        selectNamed(boxTbs_, start_.textBlockFile);
        if (settings_.FDFAlt)
            selectNamed(boxTbs_, start_.columnFile);
        selectNamed(boxLay_, start_.layoutFile);
        cb1_->setChecked(false);
        cb2_->setChecked(false);
        cb3_->setChecked(false);
    }
    showOptionalBoxes();
}

void TfExport::showOptionalBoxes()
{
    const bool on = cb1_->isChecked();
    findChild<QWidget*>(QStringLiteral("tbsColumn"))->setVisible(on);
    findChild<QWidget*>(QStringLiteral("layColumn"))->setVisible(on);
}

ExportSelection TfExport::selection() const
{
    ExportSelection s;
    s.workspace = start_.workspace;
    s.studentFile = start_.studentFile;
    s.studentFiles = selectedNames(boxDbf_);
    // Selections in a hidden list are not exported.
    s.textBlocksShown = s.layoutsShown = cb1_->isChecked();
    if (cb1_->isChecked()) {
        s.textBlockFiles = selectedNames(boxTbs_);
        s.layoutFiles = selectedNames(boxLay_);
    }
    s.layoutFolder = layoutFolder_;
    s.abbreviations = cb2_->isChecked();
    s.settings = cb3_->isChecked();
    return s;
}

bool TfExport::progress(double fraction)
{
    if (!progress_) {
        progress_ = new QProgressDialog(QStringLiteral("Dateien werden komprimiert ..."), QStringLiteral("Abbrechen"),
                                        0, 100, this);
        progress_->setObjectName(QStringLiteral("zipProgress"));
        progress_->setWindowTitle(QStringLiteral("Export"));
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setMinimumDuration(300);
    }
    progress_->setValue(int(fraction * 100));
    QApplication::processEvents();
    return !progress_->wasCanceled();
}

ExportOutcome TfExport::startExport()
{
    outcome_ = runExport(selection(), mode_, ui_, settings_.ImEx1, [this](double f) { return progress(f); },
                         createdFiles_);
    if (progress_) {
        progress_->close();
        progress_->deleteLater();
        progress_ = nullptr;
    }
    return outcome_;
}

} // namespace zedora
