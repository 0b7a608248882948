#include "periphery/ui/photo_workshop_page.h"

#include "base/interaction.h"
#include "base/path_resolver.h"
#include "core/settings.h"
#include "data/student_photo.h"
#include "periphery/photo_pictures.h"
#include "periphery/ui/photo_student_source.h"
#include "periphery/ui/picture_view.h"

#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zedora {

namespace {

enum Column { ColName, ColVorname, ColKlasse, ColGeboren, ColMw, ColFile, ColumnCount };

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& hint = {})
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

QAction* menuItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

QLineEdit* folderField(QWidget* parent, const char* name)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setCursor(Qt::PointingHandCursor);
    return e;
}

} // namespace

PhotoWorkshopPage::PhotoWorkshopPage(Settings& settings, Interaction& ui, WorkspaceFiles& files, QString workspace,
                                     QWidget* parent)
    : QWidget(parent), settings_(settings), ui_(ui), workspace_(std::move(workspace)), workshop_(ui, files)
{
    setObjectName(QStringLiteral("reg5"));
    setWindowTitle(QStringLiteral("  Bilddateien  "));
    auto* top = new QHBoxLayout(this);

    // Source pictures.
    auto* left = new QGroupBox(this);
    auto* l = new QGridLayout(left);
    l->addWidget(new QLabel(QStringLiteral("Quellverzeichnis der Bilddateien:"), left), 0, 0, 1, 3);
    sourceEdit_ = folderField(left, "Edit5");
    l->addWidget(sourceEdit_, 1, 0, 1, 3);
    source_ = new QListWidget(left);
    source_->setObjectName(QStringLiteral("quelleFile"));
    source_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    source_->setContextMenuPolicy(Qt::CustomContextMenu);
    l->addWidget(source_, 2, 0, 1, 2);
    filter_ = new QComboBox(left);
    filter_->setObjectName(QStringLiteral("dateiFilter"));
    filter_->addItems({QStringLiteral("*.JPG;*.BMP"), QStringLiteral("*.JPG"), QStringLiteral("*.BMP")});
    filter_->setCurrentIndex(-1);
    l->addWidget(filter_, 3, 0, 1, 2);
    sourceImage_ = new PictureView(QString(), left);
    sourceImage_->setObjectName(QStringLiteral("Image1"));
    sourceImage_->setMinimumWidth(170);
    l->addWidget(sourceImage_, 2, 2);
    sizeLabel_ = new QLabel(QStringLiteral("Org.-Größe: "), left);
    sizeLabel_->setObjectName(QStringLiteral("Label19"));
    l->addWidget(sizeLabel_, 3, 2);
    auto* buttons = new QGridLayout;
    QPushButton* right90 = button(left, "BitBtn7", QStringLiteral("90° rechts"),
                                  QStringLiteral("Gewählte Bilder um 90° nach rechts drehen"));
    QPushButton* left90 = button(left, "BitBtn8", QStringLiteral("90° links"),
                                 QStringLiteral("Gewählte Bilder um 90° nach links drehen"));
    QPushButton* resizeButton = button(left, "BitBtn11", QStringLiteral("Größe ändern"), QStringLiteral("Bildgröße ändern"));
    QPushButton* toBmp = button(left, "BitBtn10", QStringLiteral("nach BMP"),
                                QStringLiteral("Gewählte Bilder ins BMP-Format konvertieren"));
    QPushButton* toJpg = button(left, "BitBtn9", QStringLiteral("nach JPG"),
                                QStringLiteral("Gewählte Bilder ins JPG-Format konvertieren"));
    QPushButton* remove = button(left, "BitBtn12", QStringLiteral("Bild löschen"), QStringLiteral("Gewählte Bilder löschen"));
    buttons->addWidget(right90, 0, 0);
    buttons->addWidget(left90, 0, 1);
    buttons->addWidget(resizeButton, 0, 2);
    buttons->addWidget(toBmp, 1, 0);
    buttons->addWidget(toJpg, 1, 1);
    buttons->addWidget(remove, 1, 2);
    l->addLayout(buttons, 4, 0, 1, 3);
    top->addWidget(left, 1);

    // The middle: give the chosen picture to the chosen student.
    auto* transfer = new QToolButton(this);
    transfer->setObjectName(QStringLiteral("SpeedButton1"));
    transfer->setText(QStringLiteral("Übertrage"));
    transfer->setToolButtonStyle(Qt::ToolButtonTextOnly);
    top->addWidget(transfer, 0, Qt::AlignVCenter);

    // The class with its photos.
    auto* right = new QGroupBox(this);
    auto* r = new QGridLayout(right);
    r->addWidget(new QLabel(QStringLiteral("Verzeichnis der Schülerfotos:"), right), 0, 0, 1, 2);
    photoEdit_ = folderField(right, "Edit6");
    r->addWidget(photoEdit_, 1, 0, 1, 2);
    classList_ = new QTableWidget(0, ColumnCount, right);
    classList_->setObjectName(QStringLiteral("klassenliste"));
    classList_->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Vorname"), QStringLiteral("Klasse"),
                                           QString(), QString(), QStringLiteral("Dateiname plus (.jpg/.bmp)")});
    classList_->setColumnHidden(ColGeboren, true);
    classList_->setColumnHidden(ColMw, true);
    classList_->setColumnWidth(ColFile, 250);
    classList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    classList_->setSelectionMode(QAbstractItemView::SingleSelection);
    classList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    classList_->verticalHeader()->hide();
    classList_->setContextMenuPolicy(Qt::CustomContextMenu);
    r->addWidget(classList_, 2, 0);
    photoImage_ = new PictureView(QString(), right);
    photoImage_->setObjectName(QStringLiteral("Image2"));
    r->addWidget(photoImage_, 2, 1);
    auto* copyAll = button(right, "BitBtn13", QStringLiteral("&Alle Schülerfotos nach ... kopieren"));
    auto* deletePhoto = button(right, "BitBtn14", QStringLiteral("Datei &löschen"));
    r->addWidget(copyAll, 3, 0);
    r->addWidget(deletePhoto, 3, 1);
    top->addWidget(right, 2);

    // Pop-up menus.
    auto* sourceMenu = new QMenu(this);
    sourceMenu->setObjectName(QStringLiteral("PopupMenu2"));
    connect(menuItem(sourceMenu, "bild90rechts", QStringLiteral("90° rechts")), &QAction::triggered, this,
            [this] { turnSelected(true); });
    connect(menuItem(sourceMenu, "Bild90links", QStringLiteral("90° links")), &QAction::triggered, this,
            [this] { turnSelected(false); });
    connect(menuItem(sourceMenu, "bildbreite", QStringLiteral("Bildbreite &ändern ...")), &QAction::triggered, this,
            [this] { resizeSelected(); });
    connect(menuItem(sourceMenu, "JPGnachBMP", QStringLiteral("nach BMP")), &QAction::triggered, this,
            [this] { convertSelected(true); });
    connect(menuItem(sourceMenu, "BMPnachJPG", QStringLiteral("nach JPG")), &QAction::triggered, this,
            [this] { convertSelected(false); });
    connect(menuItem(sourceMenu, "bildloeschen", QStringLiteral("Bild(er) lö&schen ...")), &QAction::triggered, this,
            [this] { deleteSelected(); });
    sourceMenu->addSeparator();
    connect(menuItem(sourceMenu, "AktualisiereAnsicht1", QStringLiteral("&Aktualisiere Ansicht")), &QAction::triggered,
            this, [this] { previewCurrent(); });
    connect(source_, &QWidget::customContextMenuRequested, this,
            [this, sourceMenu](const QPoint& at) { sourceMenu->popup(source_->viewport()->mapToGlobal(at)); });

    auto* classMenu = new QMenu(this);
    classMenu->setObjectName(QStringLiteral("PopupMenu1"));
    connect(menuItem(classMenu, "fotospeichern",
                     QStringLiteral("Fotos der Klasse auf USB-Stick o. ä. speichern (für Transfer) ...")),
            &QAction::triggered, this, [this] { copyAllPhotos(); });
    connect(menuItem(classMenu, "Schlerfotolschen1", QStringLiteral("Schülerfoto löschen ...")), &QAction::triggered,
            this, [this] { deleteStudentPhoto(); });
    connect(menuItem(classMenu, "Schlerfotoanzeigen1", QStringLiteral("Schülerfoto anzeigen ...")),
            &QAction::triggered, this, [this] { showStudentPhoto(classList_->currentRow(), true); });
    connect(classList_, &QWidget::customContextMenuRequested, this,
            [this, classMenu](const QPoint& at) { classMenu->popup(classList_->viewport()->mapToGlobal(at)); });

    connect(right90, &QPushButton::clicked, this, [this] { turnSelected(true); });
    connect(left90, &QPushButton::clicked, this, [this] { turnSelected(false); });
    connect(resizeButton, &QPushButton::clicked, this, [this] { resizeSelected(); });
    connect(toBmp, &QPushButton::clicked, this, [this] { convertSelected(true); });
    connect(toJpg, &QPushButton::clicked, this, [this] { convertSelected(false); });
    connect(remove, &QPushButton::clicked, this, [this] { deleteSelected(); });
    connect(transfer, &QToolButton::clicked, this, [this] { transferSelected(); });
    connect(copyAll, &QPushButton::clicked, this, [this] { copyAllPhotos(); });
    connect(deletePhoto, &QPushButton::clicked, this, [this] { deleteStudentPhoto(); });
    connect(source_, &QListWidget::currentRowChanged, this, [this] { previewCurrent(); });
    connect(filter_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (text.trimmed().isEmpty())
            return;
        mask_ = text.trimmed();
        listSource();
    });
    connect(classList_, &QTableWidget::cellClicked, this, [this](int row) { showStudentPhoto(row, false); });
    connect(classList_, &QTableWidget::cellDoubleClicked, this, [this](int row) { showStudentPhoto(row, true); });
    sourceEdit_->installEventFilter(this);
    photoEdit_->installEventFilter(this);

    sourceEdit_->setText(settings_.fotoquellordner);
    photoEdit_->setText(settings_.SibankFotoordner);
}

bool PhotoWorkshopPage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == sourceEdit_)
            chooseSourceFolder();
        else if (watched == photoEdit_)
            choosePhotoFolder();
    }
    return QWidget::eventFilter(watched, event);
}

void PhotoWorkshopPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!studentsSet_) {
        for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
            if (auto* source = w->findChild<PhotoStudentSource*>(QString(), Qt::FindDirectChildrenOnly)) {
                setStudents(source->students());
                break;
            }
        }
    }
    listSource();
}

QString PhotoWorkshopPage::sourceFolder() const
{
    QString folder = settings_.fotoquellordner.trimmed();
    if (folder.isEmpty())
        folder = workspace_;
    return resolvePath(folder);
}

QString PhotoWorkshopPage::photoFolder() const
{
    return zedora::photoFolder(settings_.SibankFotoordner);
}

void PhotoWorkshopPage::chooseSourceFolder()
{
    const std::optional<QString> chosen = ui_.chooseFolder(QStringLiteral("Quellverzeichnis der Bilddateien:"), sourceFolder());
    if (!chosen || chosen->isEmpty())
        return;
    settings_.fotoquellordner = chosen->left(254);
    sourceEdit_->setText(settings_.fotoquellordner);
    listSource();
}

void PhotoWorkshopPage::choosePhotoFolder()
{
    const std::optional<QString> chosen =
        ui_.chooseFolder(QStringLiteral("Verzeichnis der Schülerfotos:"), resolvePath(settings_.SibankFotoordner));
    if (!chosen || chosen->isEmpty())
        return;
    settings_.SibankFotoordner = chosen->left(254);
    photoEdit_->setText(settings_.SibankFotoordner);
    for (int row = 0; row < classList_->rowCount(); ++row) {
        const StudentPhotoKey key{classList_->item(row, ColName)->text(), classList_->item(row, ColVorname)->text(),
                                  classList_->item(row, ColGeboren)->text(), classList_->item(row, ColMw)->text()};
        classList_->item(row, ColFile)->setText(classListEntry(photoFolder(), photoBaseName(key, settings_.Maennlich)));
        paintCell(row);
    }
}

void PhotoWorkshopPage::listSource()
{
    const QString folder = sourceFolder();
    source_->clear();
    const QStringList patterns = mask_.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QStringList names;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        for (const QString& pattern : patterns) {
            if (QDir::match(pattern, info.fileName())) {  // QDir::match ignores letter case
                names << info.fileName();
                break;
            }
        }
    }
    source_->addItems(names);
    if (source_->count() > 0)
        source_->setCurrentRow(0);
    else
        previewCurrent();
}

QStringList PhotoWorkshopPage::selectedPaths() const
{
    QStringList paths;
    const QDir dir(sourceFolder());
    for (int i = 0; i < source_->count(); ++i)
        if (source_->item(i)->isSelected())
            paths << dir.filePath(source_->item(i)->text());
    return paths;
}

void PhotoWorkshopPage::previewCurrent()
{
    QListWidgetItem* item = source_->currentItem();
    if (!item) {
        sourceImage_->clear();
        sizeLabel_->setText(QStringLiteral("Org.-Größe: "));
        return;
    }
    const QString path = QDir(sourceFolder()).filePath(item->text());
    // Pictures Qt cannot read (WMF) report 0 x 0.
    const QSize size = storedPictureSize(path);
    sizeLabel_->setText(QStringLiteral("Org.-Größe: ") + QString::number(size.width()) + QStringLiteral(" x ")
                        + QString::number(size.height()));
    if (pictureKind(path) == PictureKind::Other) {
        sourceImage_->clear();
        return;
    }
    // While browsing, a picture that cannot be shown is named in the preview
    // itself; a box for every step through the list would be in the way.
    const PictureRead read = readPictureForView(path);
    if (read.ok())
        sourceImage_->setImage(read.image);
    else
        sourceImage_->showMessage(read.error);
}

void PhotoWorkshopPage::afterSourceWork(const QStringList& before, bool reread)
{
    const QString first = before.isEmpty() ? QString() : QFileInfo(before.first()).fileName();
    if (reread)
        listSource();
    source_->clearSelection();
    const QList<QListWidgetItem*> found = source_->findItems(first, Qt::MatchFixedString);
    if (!found.isEmpty()) {
        source_->setCurrentItem(found.first());
        found.first()->setSelected(true);
    }
    previewCurrent();
}

void PhotoWorkshopPage::turnSelected(bool clockwise)
{
    const QStringList paths = selectedPaths();
    if (workshop_.turn(paths, clockwise))
        afterSourceWork(paths, false);
}

void PhotoWorkshopPage::resizeSelected()
{
    const QStringList paths = selectedPaths();
    if (workshop_.resize(paths))
        afterSourceWork(paths, false);
}

void PhotoWorkshopPage::convertSelected(bool toBitmap)
{
    const QStringList paths = selectedPaths();
    if (toBitmap ? workshop_.convertToBitmap(paths) : workshop_.convertToJpeg(paths))
        afterSourceWork(paths, true);
}

void PhotoWorkshopPage::deleteSelected()
{
    if (workshop_.deleteSources(selectedPaths())) {
        listSource();
        previewCurrent();
    }
}

void PhotoWorkshopPage::setStudents(const QList<PhotoStudent>& students)
{
    studentsSet_ = true;
    classList_->setRowCount(0);
    classList_->setRowCount(int(students.size()));
    for (int row = 0; row < students.size(); ++row) {
        const PhotoStudent& s = students.at(row);
        const QStringList cells{s.key.name.trimmed(), s.key.vorname.trimmed(), s.klasse, s.key.geboren, s.key.mw,
                                classListEntry(photoFolder(), photoBaseName(s.key, settings_.Maennlich))};
        for (int c = 0; c < ColumnCount; ++c)
            classList_->setItem(row, c, new QTableWidgetItem(cells.at(c)));
        paintCell(row);
    }
    if (!students.isEmpty()) {
        classList_->selectRow(0);
        showStudentPhoto(0, false);
    }
}

void PhotoWorkshopPage::paintCell(int row)
{
    QTableWidgetItem* item = classList_->item(row, ColFile);
    const QString path = resolvePath(joinPath(photoFolder(), item->text()));
    const bool exists = !photoFolder().isEmpty() && QFileInfo(path).isFile();
    item->setBackground(exists ? windowsColour(8780491) : palette().color(QPalette::Base));
    item->setForeground(exists ? QColor(Qt::black) : windowsColour(12632256));
}

void PhotoWorkshopPage::showStudentPhoto(int row, bool reportMissing)
{
    if (row < 0 || row >= classList_->rowCount())
        return;
    const QString cell = classList_->item(row, ColFile)->text();
    const QString path = resolvePath(joinPath(photoFolder(), cell));
    if (photoFolder().isEmpty() || !QFileInfo(path).isFile()) {
        photoImage_->clear();
        if (reportMissing)
            ui_.info(QStringLiteral("Nicht vorhanden!"));
        return;
    }
    const PictureRead read = readPictureForView(path);
    if (read.ok())
        photoImage_->setImage(read.image);
    else
        photoImage_->showMessage(read.error);
}

void PhotoWorkshopPage::transferSelected()
{
    const int row = classList_->currentRow();
    if (row < 0) {
        ui_.info(QStringLiteral("Bitte einen Schüler in der Klassenliste wählen!"));
        return;
    }
    const QString cell = workshop_.transfer(selectedPaths(), photoFolder(), classList_->item(row, ColFile)->text());
    if (cell.isEmpty())
        return;
    classList_->item(row, ColFile)->setText(cell);
    paintCell(row);
    showStudentPhoto(row, false);
}

void PhotoWorkshopPage::copyAllPhotos()
{
    QStringList cells;
    for (int row = 0; row < classList_->rowCount(); ++row)
        cells << classList_->item(row, ColFile)->text();
    workshop_.copyAll(photoFolder(), cells, workspace_);
}

void PhotoWorkshopPage::deleteStudentPhoto()
{
    const int row = classList_->currentRow();
    if (row < 0)
        return;
    QTableWidgetItem* item = classList_->item(row, ColFile);
    item->setText(workshop_.deleteStudentPhoto(photoFolder(), item->text()));
    paintCell(row);
    showStudentPhoto(row, false);
}

} // namespace zedora
