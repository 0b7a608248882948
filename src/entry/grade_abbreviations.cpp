#include "entry/grade_abbreviations.h"

#include "base/ansi_text.h"
#include "base/path_resolver.h"
#include "data/column_block.h"

#include <QFileInfo>

namespace zedora {

GradeAbbreviations::GradeAbbreviations(QString workspaceDir) : workspace_(std::move(workspaceDir))
{
}

void GradeAbbreviations::setActiveFileName(const QString& name)
{
    // The file always lies in the workspace: a path from a layout must not
    // lead the editor to write somewhere else.
    activeName_ = lastComponent(name.trimmed().left(kAbbreviationFileNameLength)).trimmed();
}

QString GradeAbbreviations::activeFilePath() const
{
    return resolveIn(workspace_, activeName_);
}

bool GradeAbbreviations::load()
{
    if (activeName_.isEmpty() || !QFileInfo(activeFilePath()).isFile())
        activeName_ = QString::fromLatin1(kDefaultAbbreviationFile);
    const auto lines = readLeadingLines(activeFilePath(), kAbbreviationEntries);
    table_ = parseAbbreviationTable(lines.value_or(QStringList()));
    return lines.has_value();
}

bool GradeAbbreviations::chooseFromLayout(const QStringList& layoutLines)
{
    setActiveFileName(abbreviationFileName(layoutLines));
    return load();
}

QString GradeAbbreviations::label() const
{
    return QString::fromUtf8("Kürzeldatei: ") + activeName_;
}

bool GradeAbbreviations::isDefined(const QString& code) const
{
    const QString wanted = code.trimmed();
    for (const Abbreviation& e : table_)
        if (e.code.trimmed() == wanted)
            return true;
    return false;
}

QString GradeAbbreviations::meaning(const QString& value, int which) const
{
    const QString wanted = upperAscii(value).trimmed();
    for (const Abbreviation& e : table_)
        if (e.code.trimmed() == wanted)
            return which == 2 ? e.meaning2 : e.meaning1;
    return QString();
}

ChangeCheckResult GradeAbbreviations::check(const QString& text,
                                            const AbbreviationCheckContext& context) const
{
    if (context.exempt)
        return ChangeCheckResult::accept();
    // What is kept of a longer text is two characters; a blank left at the
    // cut is no part of the code.
    const QString code = upperAscii(text).trimmed().left(2).trimmed();
    if (context.nameEmpty && !context.nameRuleSuspended)
        return {ChangeCheckResult::Outcome::DiscardEdit, QString(), false};
    if (isDefined(code))
        return ChangeCheckResult::accept();
    return {ChangeCheckResult::Outcome::Refused,
            QString::fromUtf8("   Kürzel (") + code + QString::fromUtf8(") nicht definiert!   ")
                + QStringLiteral("\n\n") + QString::fromUtf8("Aktive Kürzeldatei: ") + activeName_,
            false};
}

} // namespace zedora
