#pragma once
// The steps of the print centre that need no window: its layout slots, the
// student list, checking a slot before a run and collecting the run's
// records. The window (TFDruck) and the tests drive the same code.
#include "print/print_job.h"
#include "print/print_records.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zedora {

class Interaction;
struct Settings;
struct TDruckLayout;

namespace PrintCentre {

inline constexpr int kCurrentLayoutSlot = 12;
inline constexpr int kMinCopies = 1;
inline constexpr int kMaxCopies = 10;

inline constexpr const char* kEmptySlot = "Schalter nicht belegt!\nBelegung ändern mit rechter Maustaste.";
inline constexpr const char* kSlotNotFound = "Layoutdatei nicht gefunden!";
inline constexpr const char* kPageCap = "Es können max. 200 Seiten gedruckt werden!";
inline constexpr const char* kTemplateRefused =
    "An dieser Stelle kann keine Layoutdatei aus\n\ndem Vorlagenordner gewählt werden!";
inline constexpr const char* kSlotHint = "Schalterbelegung ändern mit rechter Maustaste";
inline constexpr const char* kBadCopies = "Die Anzahl der Exemplare muss zwischen 1 und 10 liegen!";

// The slots that have a button: 1-12 and 14-16 (13 has none).
bool isSlot(int slot);
// The path of a slot: 12 the current layout, the others the settings.
QString slotPath(const Settings& settings, int slot, const QString& currentLayout);
// A button's caption: the file name of its path.
QString slotCaption(const QString& path);
// Stores a slot (12 changes the current layout, which the caller holds).
void setSlotPath(Settings& settings, int slot, const QString& path);
// Whether a chosen layout lies in the template folder (refused for slots).
bool isTemplatePath(const QString& path);

// A line of the student list: "Name, Vorname" padded and cut to 49
// characters, then the ID, read back from column 50.
QString studentLine(const QString& surname, const QString& firstName, const QString& id);
QString idOfLine(const QString& line);

struct StudentList {
    QStringList lines;
    int current = -1;   // the line of the current record
};
// Every record in the records' current order; the cursor is put back.
StudentList studentList(PrintRecords& records);

// The file of a layout button, checked as the click does: an empty slot and
// a missing file are told and give nothing.
std::optional<QString> checkSlot(const QString& path, Interaction& ui);

// What the user chose in the print centre for one run.
struct Choice {
    FormMode formMode = FormMode::AllData;
    int gradeFormat = kGradeMeaning1;  // "anzeige", when the layout leaves it open
    bool wholeClass = false;           // "Ganze Klasse"
    QString code = QStringLiteral("Alle");
    QStringList selectedIds;           // selected list lines, in list order
    int copies = 1;
};

// The run of a layout button, or nothing when nothing is to be printed
// (the reason was told). The 200-page cap is told once and the first 200
// pages are kept; a whole-class run counts its students first.
std::optional<PrintRun> prepareRun(const TDruckLayout& layout, const Choice& choice, PrintRecords& records,
                                   Interaction& ui);

// Students of a whole-class run: those whose ABSCH, trimmed and upper-cased,
// equals the code ("X" or empty: every one).
int countStudents(PrintRecords& records, const QString& code);

} // namespace PrintCentre
} // namespace zedora
