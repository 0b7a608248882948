#include "entry/abbreviation_tables.h"

#include "core/settings.h"
#include "base/path_resolver.h"
#include "data/student_schema.h"

namespace zedora {

AbbreviationTables::AbbreviationTables(const QString& workspaceDir)
    : workspace(workspaceDir), grades(workspaceDir)
{
}

void AbbreviationTables::setWorkspace(const QString& workspaceDir)
{
    workspace = workspaceDir;
    grades.setWorkspace(workspaceDir);
}

QString AbbreviationTables::graduationFilePath() const
{
    return resolveIn(workspace, QString::fromLatin1(kGraduationFile));
}

void AbbreviationTables::loadAtStart(const Settings& settings)
{
    grades.setActiveFileName(settings.Kuerzeldateiname);
    grades.load();
    reloadGraduationCodes();
}

bool AbbreviationTables::reloadGraduationCodes()
{
    return graduation.load(graduationFilePath());
}

ChangeCheckResult AbbreviationTables::checkChange(const QString& field, const QString& value,
                                                  const AbbreviationCheckContext& context) const
{
    switch (changeCheck(field)) {
    case ChangeCheck::Abbreviation:
        return grades.check(value, context);
    case ChangeCheck::GraduationCode:
        return graduation.check(value);
    case ChangeCheck::None:
        break;
    }
    return ChangeCheckResult::accept();
}

} // namespace zedora
