#pragma once
// What a print job draws (its kind), for which records, and its title.
#include "print/placeholders.h"

#include <QString>
#include <QStringList>

namespace zedora {

namespace JobKind {
inline constexpr int PrinterTest = 0;
inline constexpr int ReportCards = 1;
inline constexpr int TableWithData = 2;
inline constexpr int TableEmpty = 3;
inline constexpr int ColumnLayout = 4;
inline constexpr int Abbreviations = 5;
inline constexpr int TextBlockFile = 6;
inline constexpr int Settings = 7;
inline constexpr int LayoutContents = 8;
inline constexpr int DataSheet = 9;
inline constexpr int History = 10;
inline constexpr int TextBlockColumn = 11;
inline constexpr int ColumnStatistics = 12;
inline constexpr int AbsenceStatistics = 13;
inline constexpr int GraduationStatistics = 14;
inline constexpr int GradeStatistics = 16;
inline constexpr int AverageDefinitions = 17;
} // namespace JobKind

// The title of a job: 'subject' is what the kind names in it (the printer
// for kind 0, the class for kind 1, the student, layout, abbreviation or
// text-block file for the lists).
QString jobTitle(int kind, const QString& subject, const QString& schuljahr);
// Kind 1 with single-page jobs: class + "-" + Schuljahr + "-" + page.
QString singlePageJobTitle(const QString& klasse, const QString& schuljahr, int page);

enum class RecordSelection { Single, Selection, WholeClass };

inline constexpr int kMaxSelectionPages = 200;

struct PrintRun {
    int kind = JobKind::ReportCards;
    RecordSelection selection = RecordSelection::Single;
    QStringList ids;          // selection: student IDs in page order, duplicates allowed
    QString graduationCode;   // whole class: only records with this ABSCH; "" or "X" for all
    FormMode formMode = FormMode::AllData;
    int gradeFormat = kGradeMeaning1;
};

// Whether the whole-class run is restricted to one graduation code.
bool restrictsGraduation(const QString& code);

struct TDruckLayout;

// The main window's preview of the current student: all data, the layout's
// grade format or meaning 1, the current record (the whole class for a
// table form).
PrintRun singleStudentRun(const TDruckLayout& layout);

// A print-centre run. wholeClassChosen: the range "Ganze Klasse"; code: the
// graduation filter shown ("Alle" or empty for none); ids: the selected
// students' IDs in list order, each repeated for its copies (cut to 200).
// A layout that leaves the grade format open takes chosenGradeFormat.
PrintRun printCentreRun(const TDruckLayout& layout, FormMode formMode, int chosenGradeFormat,
                        bool wholeClassChosen, const QString& code, const QStringList& ids);

} // namespace zedora
