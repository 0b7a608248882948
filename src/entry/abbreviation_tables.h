#pragma once
// The grade abbreviations and graduation codes of the run, and the check
// every change of a checked field of the student table goes through.
#include "entry/change_check.h"
#include "entry/grade_abbreviations.h"
#include "entry/graduation_codes.h"

#include <QString>

namespace zedora {

struct Settings;

struct AbbreviationTables {
    explicit AbbreviationTables(const QString& workspaceDir = {});

    void setWorkspace(const QString& workspaceDir);
    // ABSCHL.TXT in the workspace, under any letter case.
    QString graduationFilePath() const;

    // At start: the abbreviation file of the setting Kuerzeldateiname and
    // the graduation codes.
    void loadAtStart(const Settings& settings);
    // ABSCHL.TXT again; a missing file keeps the list as it was.
    bool reloadGraduationCodes();

    // The check of a changed value of the student file's field 'field'
    // (grades, K1-K4, KE, KM, KO against the abbreviations, ABSCH against
    // the graduation codes, every other field accepted).
    ChangeCheckResult checkChange(const QString& field, const QString& value,
                                  const AbbreviationCheckContext& context) const;

    QString workspace;
    GradeAbbreviations grades;
    GraduationCodes graduation;
};

} // namespace zedora
