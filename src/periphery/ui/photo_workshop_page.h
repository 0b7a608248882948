#pragma once
// The photo workshop, the page "  Bilddateien  " of the settings dialog:
// source pictures (take, convert, turn, resize, delete) on the left, the
// class with its photo file names (give a picture, copy all, delete) on
// the right.
#include "periphery/photo_class_list.h"
#include "periphery/photo_workshop.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QTableWidget;

namespace zedora {

class Interaction;
class PictureView;
class WorkspaceFiles;
struct Settings;

class PhotoWorkshopPage : public QWidget {
    Q_OBJECT
public:
    // Changes of the two folders go into settings at once.
    PhotoWorkshopPage(Settings& settings, Interaction& ui, WorkspaceFiles& files, QString workspace,
                      QWidget* parent = nullptr);

    // Fills the class list; shows the first student's photo when there is one.
    // Without it, the page takes the open file's students on first showing.
    void setStudents(const QList<PhotoStudent>& students);
    // Lists the source folder again and selects its first entry.
    void listSource();

    // For the menu entries and tests: the work of each button.
    void turnSelected(bool clockwise);
    void resizeSelected();
    void convertSelected(bool toBitmap);
    void deleteSelected();
    void transferSelected();
    void copyAllPhotos();
    void deleteStudentPhoto();
    void showStudentPhoto(int row, bool reportMissing);
    void chooseSourceFolder();
    void choosePhotoFolder();
    void previewCurrent();

    QListWidget* sourceList() const { return source_; }
    QTableWidget* classList() const { return classList_; }
    QString sourceFolder() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStringList selectedPaths() const;
    void afterSourceWork(const QStringList& before, bool reread);
    void paintCell(int row);
    QString photoFolder() const;

    Settings& settings_;
    Interaction& ui_;
    QString workspace_;
    PhotoWorkshop workshop_;
    QLineEdit* sourceEdit_;
    QLineEdit* photoEdit_;
    QListWidget* source_;
    QComboBox* filter_;
    PictureView* sourceImage_;
    QLabel* sizeLabel_;
    QTableWidget* classList_;
    PictureView* photoImage_;
    bool studentsSet_ = false;
    QString mask_ = QStringLiteral("*.JPG;*.BMP;*.WMF");
};

} // namespace zedora
