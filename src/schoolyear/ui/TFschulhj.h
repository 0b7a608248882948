#pragma once
// The rollover dialog "Datei speichern unter ...   und Spalteninhalte
// löschen": new name and data directory, the class of the new file, the
// comparison file, and the columns to clear with their exception groups.
#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zedora {

class MainFrame;

class TFschulhj : public QDialog {
    Q_OBJECT
public:
    explicit TFschulhj(MainFrame& frame, QWidget* parent = nullptr);

    // "Alle zum Löschen markieren" and "Alle Feldinhalte erhalten".
    void markAll();
    void keepAll();
    // "&Datei erstellen ": true when the new file was made.
    bool createFile();
    // "&Schließen": offers to open the new file.
    void closeDialog();

    // A click on "Aktuelle Datei:": another student file becomes the current one.
    void chooseCurrentFile();

    QStringList checkedFields() const;
    bool fileCreated() const { return created_; }

private:
    void fillColumns();
    QString chooseComparisonFile();

    MainFrame& frame_;
    bool created_ = false;
    QString createdPath_;
    QLineEdit* aktDatei_;
    QLineEdit* neueDatei_;
    QComboBox* shjbox2_;
    QLineEdit* edit1_;
    QCheckBox* checkBox1_;
    QLineEdit* sibdatei_;
    QPushButton* speedButton6_;
    QListWidget* clb_;
    QListWidget* ausnahmebox_;
};

} // namespace zedora
