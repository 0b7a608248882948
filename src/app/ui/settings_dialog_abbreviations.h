#pragma once
// The page "Noten- / Abschlusskürzel" of the settings dialog: the editor of
// the grade-abbreviation files (KUERZEL.TXT, *.NKD) and of ABSCHL.TXT.
#include "data/file_assignments.h"
#include "entry/abbreviation_file.h"
#include "entry/graduation_codes.h"

#include <QStringList>
#include <QWidget>
#include <vector>

class QComboBox;
class QTableWidget;

namespace zedora {

class Interaction;
struct AbbreviationTables;

class AbbreviationPage : public QWidget {
    Q_OBJECT
public:
    AbbreviationPage(AbbreviationTables& tables, Interaction& ui, FileWrittenCallback written,
                     QWidget* parent = nullptr);

    // The file the grid edits (not necessarily the active one).
    const QString& editedFile() const { return editedFile_; }
    bool gradesChanged() const { return gradesChanged_; }
    bool graduationChanged() const { return graduationChanged_; }
    bool changed() const { return gradesChanged_ || graduationChanged_; }

    std::vector<Abbreviation> gradeRows() const;
    std::vector<GraduationCode> graduationRows() const;

    // Takes the text of a cell still being edited into its grid.
    void commitEdits();
    // Writes what is marked as changed, then loads the active table again.
    void save();
    // "Speichern unter.": asks for a name and writes the grid as <NAME>.NKD.
    void saveAs();

private:
    QWidget* createGradeGroup();
    QWidget* createGraduationGroup();
    void fillGradeGrid(const std::vector<Abbreviation>& rows);
    void fillGraduationGrid(const std::vector<GraduationCode>& rows);
    void loadEditedFile();
    void fillFileBox();
    void selectEditedFile();
    void fileChosen(int index);
    void insertRow(QTableWidget* grid);
    void deleteRow(QTableWidget* grid);
    void rowMoved(int logical, int oldVisual, int newVisual);
    QString workspaceFile(const QString& name) const;

    AbbreviationTables& tables_;
    Interaction& ui_;
    FileWrittenCallback written_;
    QString editedFile_;
    QStringList graduationLinesAfterRows_;
    bool gradesChanged_ = false;
    bool graduationChanged_ = false;
    bool reordering_ = false;
    QComboBox* defkuerzelbox_ = nullptr;
    QTableWidget* notgitter_ = nullptr;
    QTableWidget* abschgitter_ = nullptr;
};

} // namespace zedora
