#pragma once
// The graduation codes of ABSCHL.TXT: one code a line in columns 1-7 (only
// the first four count, the field ABSCH is four wide) and its long name in
// columns 8-117. The first ten lines define the allowed codes.
#include "data/file_assignments.h"
#include "entry/change_check.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace zedora {

inline constexpr const char* kGraduationFile = "ABSCHL.TXT";
inline constexpr int kGraduationRows = 10;
inline constexpr int kGraduationNameLength = 110;

struct GraduationCode {
    QString code;     // upper case, at most 4 characters; empty for a blank line
    QString longName; // at most 110 characters

    bool operator==(const GraduationCode&) const = default;
};

class GraduationCodes {
public:
    // Reads the file. A missing file leaves the list as it was and returns false.
    bool load(const QString& path);
    void setLines(const QStringList& lines);

    // Entries 1 to 10 (index 0 to 9), from the first ten lines.
    const std::array<GraduationCode, kGraduationRows>& entries() const { return entries_; }
    // "##" followed by every code and '#': "##HS#RS#".
    const QString& allowedCodes() const { return allowed_; }
    // "\n" + code for every code, for the refusal message.
    const QString& messageText() const { return messageText_; }
    // The drop-down list "Abschluss:": four blanks, then the code of every
    // line of the file.
    const QStringList& dropDownItems() const { return dropDown_; }

    ChangeCheckResult check(const QString& text) const;

private:
    std::array<GraduationCode, kGraduationRows> entries_{};
    QString allowed_ = QStringLiteral("##");
    QString messageText_;
    QStringList dropDown_{QStringLiteral("    ")};
};

// The rows of the graduation editor from the file's first ten lines: code
// columns 1-4, long name columns 8-117, both trimmed.
std::vector<GraduationCode> parseGraduationRows(const QStringList& lines);
// Per row the code padded and cut to seven characters, upper case, then the
// long name cut to 110 characters. Lines of the file beyond the editor's
// ten are kept as they were.
QByteArray formatGraduationFile(const std::vector<GraduationCode>& rows,
                                const QStringList& linesAfterRows = {});
bool writeGraduationFile(const QString& path, const std::vector<GraduationCode>& rows,
                         const QStringList& linesAfterRows, const FileWrittenCallback& written);

} // namespace zedora
