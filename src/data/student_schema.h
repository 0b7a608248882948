#pragma once
// The student file: its stored fields in physical order, the calculated
// averages, the field kinds and what they mean for showing, checking and
// locking, the index tags and the sort orders.
#include "dbase/index.h"
#include "dbase/table.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace zedora {

// Kind numbers as the other parts of the program test them.
namespace FieldKind {
inline constexpr int FreeText = 0;
inline constexpr int Grade = 1;
inline constexpr int GradeLikeCode = 2;   // K1 to K4
inline constexpr int Average = 3;         // D1 to D3, calculated
inline constexpr int Absence = 4;
inline constexpr int MasterData = 5;
inline constexpr int CourseLevel = 7;
inline constexpr int AssessmentText = 11; // memo
inline constexpr int GraduationCode = 19;
inline constexpr int Identity = 20;
} // namespace FieldKind

struct StudentField {
    const char* name; // upper case
    char type;        // 'C' character, 'M' memo, 'N' for the calculated averages
    int width;        // bytes in the record (memo: 10); calculated: display width
    int kind;
};

inline constexpr int kStoredFieldCount = 122;

// The order is part of the format: old files are copied into new ones by
// position, so fields are only ever appended.
inline constexpr std::array<StudentField, kStoredFieldCount> kStoredFields{{
    {"NAME", 'C', 25, 5},     {"VORNAME", 'C', 25, 5},  {"MW", 'C', 1, 5},
    {"KLASSE", 'C', 7, 5},    {"GEBOREN", 'C', 10, 5},  {"GEBORT", 'C', 25, 5},
    {"TELEFON", 'C', 30, 5},  {"STAATS", 'C', 25, 5},   {"KONF", 'C', 12, 5},
    {"STRASSE", 'C', 25, 5},  {"ORT", 'C', 25, 5},      {"STAMMF1", 'C', 40, 5},
    {"STAMMF2", 'C', 40, 5},  {"DE", 'C', 2, 1},        {"RS", 'C', 2, 1},
    {"EN", 'C', 2, 1},        {"KE", 'C', 2, 7},        {"MA", 'C', 2, 1},
    {"KM", 'C', 2, 7},        {"LA", 'C', 2, 1},        {"FR", 'C', 2, 1},
    {"GR", 'C', 2, 1},        {"RE", 'C', 2, 1},        {"KO", 'C', 2, 7},
    {"WN", 'C', 2, 1},        {"SP", 'C', 2, 1},        {"WU", 'C', 2, 1},
    {"GE", 'C', 2, 1},        {"EK", 'C', 2, 1},        {"SO", 'C', 2, 1},
    {"PH", 'C', 2, 1},        {"CH", 'C', 2, 1},        {"BI", 'C', 2, 1},
    {"MU", 'C', 2, 1},        {"KU", 'C', 2, 1},        {"WE", 'C', 2, 1},
    {"TG", 'C', 2, 1},        {"AL", 'C', 2, 1},        {"TE", 'C', 2, 1},
    {"HW", 'C', 2, 1},        {"SF", 'C', 2, 1},        {"SA", 'C', 2, 1},
    {"FF1", 'C', 25, 0},      {"FFZ1", 'C', 2, 1},      {"FF2", 'C', 25, 0},
    {"FFZ2", 'C', 2, 1},      {"WPK1", 'C', 25, 0},     {"WP1", 'C', 2, 1},
    {"WPK2", 'C', 25, 0},     {"WP2", 'C', 2, 1},       {"WPK3", 'C', 25, 0},
    {"WP3", 'C', 2, 1},       {"WPK4", 'C', 25, 0},     {"WP4", 'C', 2, 1},
    {"WFK1", 'C', 25, 0},     {"WF1", 'C', 2, 1},       {"WFK2", 'C', 25, 0},
    {"WF2", 'C', 2, 1},       {"WFK3", 'C', 25, 0},     {"WF3", 'C', 2, 1},
    {"WFK4", 'C', 25, 0},     {"WF4", 'C', 2, 1},       {"TB1", 'M', 10, 11},
    {"TB2", 'M', 10, 11},     {"TB3", 'M', 10, 11},     {"TB4", 'M', 10, 11},
    {"TB5", 'M', 10, 11},     {"TB6", 'M', 10, 11},     {"TB7", 'M', 10, 11},
    {"TB8", 'M', 10, 11},     {"ABSCH", 'C', 4, 19},    {"KODAT", 'C', 10, 0},
    {"NOTE1", 'C', 2, 1},     {"NOTE2", 'C', 2, 1},     {"JOKE1", 'C', 60, 0},
    {"JOKE2", 'C', 60, 0},    {"AG1", 'C', 60, 0},      {"NAECH", 'C', 10, 0},
    {"ID", 'C', 15, 20},      {"VS1", 'C', 3, 4},       {"VS12", 'C', 3, 4},
    {"UE1", 'C', 3, 4},       {"UE12", 'C', 3, 4},      {"AG2", 'C', 60, 0},
    {"AG3", 'C', 60, 0},      {"PLZ", 'C', 5, 5},       {"ANR1", 'C', 50, 5},
    {"ANR2", 'C', 50, 5},     {"TB9", 'M', 10, 11},     {"TB10", 'M', 10, 11},
    {"FOE1", 'C', 25, 0},     {"FOE2", 'C', 25, 0},     {"K1", 'C', 2, 2},
    {"K2", 'C', 2, 2},        {"K3", 'C', 2, 2},        {"K4", 'C', 2, 2},
    {"KD", 'C', 2, 7},        {"TB11", 'M', 10, 11},    {"TB12", 'M', 10, 11},
    {"TB13", 'M', 10, 11},    {"TF1", 'C', 60, 0},      {"TF2", 'C', 60, 0},
    {"FOE3", 'C', 25, 0},     {"FOE4", 'C', 25, 0},     {"NOTE3", 'C', 2, 1},
    {"NOTE4", 'C', 2, 1},     {"NOTE5", 'C', 2, 1},     {"NOTE6", 'C', 2, 1},
    {"NOTE7", 'C', 2, 1},     {"NOTE8", 'C', 2, 1},     {"NOTEX", 'C', 2, 1},
    {"KX", 'C', 2, 7},        {"TB14", 'M', 10, 11},    {"TB15", 'M', 10, 11},
    {"TB16", 'M', 10, 11},    {"TB17", 'M', 10, 11},    {"TB18", 'M', 10, 11},
    {"TB19", 'M', 10, 11},    {"TB20", 'M', 10, 11},    {"TB21", 'M', 10, 11},
    {"TB22", 'M', 10, 11},    {"TB23", 'M', 10, 11},
}};

// Not stored; computed whenever a record is read.
inline constexpr std::array<StudentField, 3> kCalculatedFields{{
    {"D1", 'N', 10, 3},
    {"D2", 'N', 10, 3},
    {"D3", 'N', 10, 3},
}};

// The stored field list as the engine creates a table from it (offsets 0:
// the engine fills them). The student-file template is made from this.
std::vector<dbase::FieldDesc> studentFileFields();
// Bytes per record including the deletion flag.
int studentRecordLength();

// Stored or calculated field by name (letter case ignored); nullptr if none.
const StudentField* findStudentField(const QString& name);
// 0-based position among the stored fields, -1 if none.
int storedFieldIndex(const QString& name);
// Kind of a stored or calculated field, -1 for an unknown name.
int fieldKind(const QString& name);
// Width shown in a column when the column layout gives none.
int defaultDisplayWidth(const QString& name);
// The names of the stored fields of a kind, in field order.
QStringList fieldsOfKind(int kind);

// ---- what a kind means

enum class KindAccess {
    Editable,       // editable unless the table lock is on
    MasterData,     // only while master-data editing is switched on
    TextEditor,     // not while the entry table has the focus (edited in the text editor)
    Never,          // calculated or written by the program only
};

struct KindRule {
    int kind;
    bool checkedOnChange;   // against the grade abbreviations or graduation codes
    bool countedInAverages;
    bool hidden;
    KindAccess access;
    bool lockedByTableLock; // read-only while the table lock is on
};

inline constexpr std::array<KindRule, 10> kKindRules{{
    {FieldKind::FreeText, false, false, false, KindAccess::Editable, true},
    {FieldKind::Grade, true, true, false, KindAccess::Editable, true},
    {FieldKind::GradeLikeCode, true, false, false, KindAccess::Editable, true},
    {FieldKind::Average, false, false, false, KindAccess::Never, false},
    {FieldKind::Absence, false, false, false, KindAccess::Editable, true},
    {FieldKind::MasterData, false, false, false, KindAccess::MasterData, false},
    // KD and KX are the exception: see changeCheck().
    {FieldKind::CourseLevel, true, false, false, KindAccess::Editable, true},
    {FieldKind::AssessmentText, false, false, false, KindAccess::TextEditor, false},
    {FieldKind::GraduationCode, true, false, false, KindAccess::Editable, true},
    {FieldKind::Identity, false, false, true, KindAccess::Never, true},
}};
// nullptr for a number that is no kind.
const KindRule* kindRule(int kind);

// How a change of the field's value is checked. A column of the column
// layout may still exempt its field (ColumnDescription::isExempt).
enum class ChangeCheck { None, Abbreviation, GraduationCode };
ChangeCheck changeCheck(const QString& field);
bool countsInAverages(int kind);
bool isHiddenKind(int kind);

struct EditState {
    bool masterDataEditing = false; // master-data editing switched on
    bool tableLock = false;         // SperreOption
    bool entryTableFocus = false;   // the entry table has the input focus
};
// Whether the user may change a field of the kind now.
bool isReadOnly(int kind, const EditState& state);

// ---- master data by name

inline constexpr const char* kMasterDataNames =
    "#NAME#VORNAME#GEBORT#GEBOREN#KLASSE#MW#PLZ#ORT#STRASSE#STAATS#TELEFON#STAMMF1#STAMMF2#KONF#ANR1#ANR2#SIB3#SIB4#";
bool isMasterDataName(const QString& field);

// ---- indexes and sort orders

// The production index of a student file (KLASSE, MW, NAME, ID in this
// order) and of a text-block file (ID only), as the engine builds them.
std::vector<dbase::TagSpec> studentIndexTagSpecs();
std::vector<dbase::TagSpec> textBlockIndexTagSpecs();

struct SortOrder {
    int value;           // setting Sortierung
    const char* caption; // menu entry, UTF-8
    const char* tag;
};
inline constexpr std::array<SortOrder, 3> kSortOrders{{
    {1, "   - &Klassen", "KLASSE"},
    {2, "   - &Mädchen/Jungen", "MW"},
    {3, "   - Al&phabet", "NAME"},
}};
// nullptr for a value that selects no order (the order then stays as it is).
const SortOrder* sortOrder(int sortierung);
QString sortOrderCaption(const SortOrder& order);

} // namespace zedora
