#pragma once
// "Spalteninhalte in Hauptdatei übertragen" / "Schülerdatensatz in aktuelle
// Datei einlesen": another student file (also from a zip export) shown
// read-only; marked columns or one record are taken into the open file.
#include "data/student_table.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTableWidget;

namespace zedora {

class CurrentStudentFile;
class Interaction;
class StudentTableModel;
struct Settings;

enum class TransferMode { Columns, Record };

class TFSpaltenlesen : public QDialog {
    Q_OBJECT
public:
    TFSpaltenlesen(TransferMode mode, CurrentStudentFile& file, Settings& settings, Interaction& ui,
                   QString workspace, QTableView* mainGrid, StudentTableModel* mainModel, QWidget* parent = nullptr);

    // Opens path as the source (a .DBF, or a .ZIP whose files are unpacked
    // into ZipTmp first, then chosen there); false when it cannot be read.
    bool chooseSource(const QString& path);
    // The source chosen in the open dialog.
    void chooseSourceByDialog();
    // Clicking a column title: toggles the mark of a markable column.
    void toggleMark(int column);
    void markAll(bool on);
    QStringList markedFields() const;
    void start();
    const StudentTable& source() const { return source_; }

private:
    void fillGrid();
    void updateStatus();
    QString fieldOfColumn(int column) const;
    bool openSource(const QString& dbf);
    QString unpackZip(const QString& zip);

    TransferMode mode_;
    CurrentStudentFile& file_;
    Settings& settings_;
    Interaction& ui_;
    QString workspace_;
    QTableView* mainGrid_;
    StudentTableModel* mainModel_;
    StudentTable source_;
    QStringList fields_;   // source field of each grid column
    QStringList captions_;
    std::vector<bool> marks_;
    QString startDir_;
    QLineEdit* edit1_;
    QTableWidget* grid_;
    QLabel* label2_;
    QCheckBox* freeTarget_ = nullptr;
    QPushButton* start_;
};

} // namespace zedora
