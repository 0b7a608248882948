#pragma once
// The mail-merge file for a word processor's serial letters: ANSI text,
// lines ended by CR LF, fields separated by ";" without quoting.
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <optional>

namespace zedora {

// A value as the file can carry it. Without quoting a ";" would shift every
// following column and a line break would split the student's line, so a
// ";" becomes "," and each line break one blank.
QString mailMergeValue(const QString& value);

// A memo: every line trimmed and followed by one blank, joined, at most 250
// characters.
QString mailMergeMemo(const QString& memo);

// The header line and one line per row, each value made safe. Written
// beside the target and renamed into place, so a failure leaves the old
// file whole. Returns an empty string on success, else a German message.
QString writeMailMergeFile(const QString& path, const QStringList& header, const QVector<QStringList>& rows);

// The chosen name with ".DOC" when it has no extension.
QString mailMergeFileName(const QString& chosen);

// How codes are written: the chosen meaning of a grade abbreviation and the
// text of a graduation code; nothing when the value is no such code.
struct MailMergeMeanings {
    std::function<std::optional<QString>(const QString& value)> grade;
    std::function<std::optional<QString>(const QString& code)> graduation;
};

// NAME, VORNAME, the fields, then AUORT, AUDAT, AUDAT2, HJ, SJ.
QStringList mailMergeHeader(const QStringList& fields);

// The column value of one field of a student file as the file carries it.
QString mailMergeColumn(const QString& field, const QString& stored, const MailMergeMeanings& meanings);

} // namespace zedora
