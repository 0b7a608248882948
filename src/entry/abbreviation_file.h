#pragma once
// The grade-abbreviation files KUERZEL.TXT and <NAME>.NKD: one definition a
// line, code and two meanings. A file whose first line holds a '|' is read
// as "code|meaning 1|meaning 2" throughout, any other file as fixed columns
// (1-2 code, 3-22 meaning 1, 23-42 meaning 2). The program writes the
// delimited form only, one line for each of the editor's 150 rows.
#include "data/file_assignments.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace zedora {

inline constexpr int kAbbreviationEntries = 151; // table entries 0 .. 150
inline constexpr int kAbbreviationRows = 150;    // editor rows and lines written
inline constexpr int kMeaningLength = 80;        // what the table keeps of a meaning
inline constexpr int kEditorLineLength = 250;    // what the editor reads of a line

struct Abbreviation {
    QString code;
    QString meaning1;
    QString meaning2;

    bool operator==(const Abbreviation&) const = default;
};

using AbbreviationTable = std::array<Abbreviation, kAbbreviationEntries>;

// The first maxLines lines of a Windows-1252 text file (CR LF or LF), each
// cut to a sane length so that a damaged or binary file cannot exhaust
// memory. Nothing when the file cannot be opened.
std::optional<QStringList> readLeadingLines(const QString& path, int maxLines);

// Whether the lines are read in the delimited form (decided by the first line).
bool isDelimited(const QStringList& lines);

// The in-memory table: entry n from line n + 1, upper-case codes, meanings
// cut to 80 characters; delimited fields trimmed, fixed columns as they stand.
AbbreviationTable parseAbbreviationTable(const QStringList& lines);

// The editor's 150 rows: every value trimmed, meanings whole (of the first
// 250 characters of the line).
std::vector<Abbreviation> parseAbbreviationRows(const QStringList& lines);

// One line as written: code padded and cut to two characters, upper case,
// then the trimmed meanings, each after a '|'.
QString formatAbbreviationLine(const Abbreviation& row);
// All rows, Windows-1252 with CR LF.
QByteArray formatAbbreviationFile(const std::vector<Abbreviation>& rows);

// Replaces the file safely and tells the register; false when it could not
// be written (the old file is then untouched).
bool writeAbbreviationFile(const QString& path, const std::vector<Abbreviation>& rows,
                           const FileWrittenCallback& written);

} // namespace zedora
