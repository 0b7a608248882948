#pragma once
// The grade-abbreviation table of the run: the 151 entries of the active
// abbreviation file, which file that is, the lookups of meanings and the
// check of typed grades, course levels and head grades.
#include "entry/abbreviation_file.h"
#include "entry/change_check.h"

#include <QString>
#include <QStringList>

namespace zedora {

inline constexpr const char* kDefaultAbbreviationFile = "KUERZEL.TXT";
inline constexpr int kAbbreviationFileNameLength = 50;

// What the check of a typed abbreviation needs to know besides the value.
struct AbbreviationCheckContext {
    bool exempt = false;    // the column is a free-entry column
    bool nameEmpty = false; // the record's NAME is empty
    // A global change, text-block insertion, import or file opening runs, or
    // the grid handles a key press: the empty-name rule does not apply.
    bool nameRuleSuspended = false;
};

class GradeAbbreviations {
public:
    explicit GradeAbbreviations(QString workspaceDir = {});

    void setWorkspace(const QString& workspaceDir) { workspace_ = workspaceDir; }
    const QString& workspace() const { return workspace_; }

    // The active file's name (at most 50 characters, trimmed, without any
    // folder: the file lies in the workspace).
    const QString& activeFileName() const { return activeName_; }
    void setActiveFileName(const QString& name);
    // The active file in the workspace, under any letter case.
    QString activeFilePath() const;

    // Reads the active file into the table. A missing file makes the name
    // fall back to KUERZEL.TXT; when that is missing too the table is empty.
    // Returns whether a file was read.
    bool load();
    // The file named in the layout's KUERZELDATEINAME line (KUERZEL.TXT
    // without one) becomes active and is loaded.
    bool chooseFromLayout(const QStringList& layoutLines);

    // The main window's label "Kürzeldatei: " + name.
    QString label() const;

    const AbbreviationTable& entries() const { return table_; }
    void setEntries(const AbbreviationTable& table) { table_ = table; }

    // Whether a code (compared trimmed) is one of the entries; "" matches an
    // empty entry.
    bool isDefined(const QString& code) const;
    // Meaning 1 or 2 of the first entry matching the trimmed, upper-case
    // value; "" when none does.
    QString meaning(const QString& value, int which) const;

    // The check of a changed value of a grade, course-level or head-grade field.
    ChangeCheckResult check(const QString& text, const AbbreviationCheckContext& context) const;

private:
    QString workspace_;
    QString activeName_ = QString::fromLatin1(kDefaultAbbreviationFile);
    AbbreviationTable table_;
};

} // namespace zedora
