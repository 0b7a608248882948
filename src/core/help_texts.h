#pragma once
// The help texts of the help lines: one text per short code ("001", "E01"),
// read from HELPTEXT.TXT in the program's data folder.
//
// File format (Windows-1252, lines end in CR LF or LF):
//   ; comment                 lines starting with ';' and blank lines are skipped
//   <code> <text>             code up to the first blank or tab, then the text
// In a text "\n" is a line break and "\\" a backslash; any other backslash
// stays as it is. When a code occurs twice, its first line counts.
#include <QHash>
#include <QString>
#include <QStringList>

namespace zedora {

class HelpTexts {
public:
    // Text of every lookup while the help-text file is missing.
    static QString missingText();

    // An empty list: every lookup gives "".
    HelpTexts() = default;

    // Reads the file at path. A missing or unreadable file gives the list
    // holding the single line "HELPTEXT.TXT fehlt!".
    static HelpTexts load(const QString& path);
    // Parses text already decoded (the same rules as load).
    static HelpTexts fromText(const QString& text);

    // The text of code (compared without regard to a-z case); "" for an
    // unknown code; "HELPTEXT.TXT fehlt!" for every code when the file was
    // missing.
    QString text(const QString& code) const;

    bool fileMissing() const { return missing_; }
    // The codes in file order, each once.
    QStringList codes() const { return order_; }

private:
    QHash<QString, QString> texts_;  // key: code upper-cased (a-z only)
    QStringList order_;
    bool missing_ = false;
};

} // namespace zedora
