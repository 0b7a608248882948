#pragma once
// "Archivdateien bearbeiten": student files of a data directory on the
// left, the archive files of ARCHIV on the right; transfers by ID, creates
// and deletes files.
#include <QDialog>

class QListWidget;

namespace zedora {

class MainFrame;
struct StudentFileContext;

class TFArchiv : public QDialog {
    Q_OBJECT
public:
    // openFile: the student file the main window had open (closed meanwhile).
    TFArchiv(MainFrame& frame, const QString& openFile, QWidget* parent = nullptr);

    void showSourceDirectory(const QString& dir);
    void refreshTargets();
    void transfer();
    void createArchive();
    void deleteSelected();

    QListWidget& sourceFiles() { return *sourceFiles_; }
    QListWidget& targetFiles() { return *targetFiles_; }

private:
    QString archiveDir() const;

    MainFrame& frame_;
    QString openFile_;
    QString sourceDir_;
    QListWidget* sourceDirs_;
    QListWidget* sourceFiles_;
    QListWidget* targetFiles_;
    bool targetClickedLast_ = false;
};

} // namespace zedora
