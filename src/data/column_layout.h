#pragma once
// The column description built from a layout's column block: one list that
// the entry table, the single-record page and the history view all read.
#include "data/student_schema.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace zedora {

struct ColumnSpec {
    QString field;   // upper-case field name
    QString caption; // columns 20-58 of the line, not trimmed
    QString title;   // column title: the first 'width' characters of the caption
    int width = 0;   // display width in characters
    bool exempt = false; // typed freely, without the abbreviation check
    int kind = -1;
    bool masterData = false;
};

// Whether the user may change the column's field now.
inline bool isReadOnly(const ColumnSpec& c, const EditState& state)
{
    return isReadOnly(c.kind, state);
}

// One box of the single-record page with its label.
struct MaskSlot {
    QString field;
    QString label;
};

inline constexpr int kMaskTextSlots = 12;
// Fixed labels of the boxes that do not take the column caption (UTF-8).
inline constexpr const char* kGraduationLabel = "Abschluss:";
inline constexpr const char* kAbsence1Label = "Versäumte Tage 1. Hj.";
inline constexpr const char* kAbsence12Label = "Versäumte Tage 1.+2. Hj.";
inline constexpr const char* kUnexcusedLabel = "davon unentschuldigt";
inline constexpr int kMaskFreeTextSlots = 4;
inline constexpr int kMaskGradeSlots = 24;

struct MaskPage {
    std::vector<MaskSlot> texts;      // memo fields; label "caption (FIELD)"
    std::vector<MaskSlot> freeTexts;  // other wide fields that are not master data
    std::vector<MaskSlot> grades;     // kind 1 and 7, label at most 20 characters
    std::array<std::optional<QString>, 3> averages;  // D1..D3: label
    std::array<std::optional<QString>, 4> codes;     // K1..K4: label
    bool graduation = false;          // ABSCH
    bool absence1 = false;            // VS1 with UE1
    bool absence12 = false;           // VS12 with UE12
    std::array<bool, 4> electiveNames{}, electiveGrades{}; // WPK1..4, WP1..4
    std::array<bool, 4> optionalNames{}, optionalGrades{}; // WFK1..4, WF1..4
};

struct HistoryRow {
    QString label; // three blanks + trimmed caption
    QString field;
};
struct HistoryColumn {
    QString field;
    QString header;
    int pixelWidth = 0;
};

struct ColumnDescription {
    std::vector<ColumnSpec> columns; // in display order
    QString exemptList;              // "#DE#EN#"
    std::vector<HistoryRow> historyRows;
    std::vector<HistoryColumn> historyColumns;
    MaskPage mask;

    const ColumnSpec* find(const QString& field) const;
    bool isExempt(const QString& field) const;
    // Caption (25 characters) of the column at a 0-based display position,
    // empty beyond.
    QString captionAt(int position) const;
};

struct ApplyOptions {
    // NAME and VORNAME stand in the fixed name grid (Grid2Sichtbar).
    bool nameGridVisible = true;
    // The fields the student file has (stored ones); the calculated
    // averages are always there. Empty: every field of the schema.
    QStringList fileFields;
    // Leave out lines naming unknown fields instead of stopping.
    bool skipUnknown = false;
};

struct ApplyResult {
    ColumnDescription description;
    // The first line naming a field the file lacks; empty when all are known.
    QString unknownField;
};

// Builds the description from the column lines of a block. On an unknown
// field it stops and reports the field; the caller recovers.
ApplyResult applyColumnLines(const QStringList& columnLines, const ApplyOptions& options);

} // namespace zedora
