#include "base/workspace_relative.h"

#include "base/ansi_text.h"
#include "base/path_resolver.h"

namespace zedora {
namespace {

qsizetype markerAt(const QString& upper, RelativeKind kind)
{
    const qsizetype ze = kind == RelativeKind::Layout ? -1 : upper.indexOf(QLatin1String("ZE-"));
    const qsizetype lay =
        kind == RelativeKind::StudentFile ? -1 : upper.indexOf(QLatin1String("LAYOUT\\"));
    if (ze < 0)
        return lay;
    if (lay < 0)
        return ze;
    return qMin(ze, lay);
}

// Where the part of the path behind the workspace directory begins, or 0.
qsizetype behindWorkspace(const QString& windowsPath, const QString& workspaceDir)
{
    if (workspaceDir.trimmed().isEmpty())
        return 0;
    QString ws = toWindowsSeparators(workspaceDir.trimmed());
    if (!ws.endsWith(QLatin1Char('\\')))
        ws += QLatin1Char('\\');
    return windowsPath.startsWith(ws, Qt::CaseInsensitive) ? ws.size() : 0;
}

} // namespace

QString workspaceShortForm(const QString& path, RelativeKind kind, const QString& workspaceDir)
{
    const QString p = toWindowsSeparators(path.trimmed());
    const qsizetype from = behindWorkspace(p, workspaceDir);
    const qsizetype at = markerAt(upperAscii(p.mid(from)), kind);
    if (at >= 0)
        return p.mid(from + at);
    // Inside the workspace but outside its folders: still relative, so that
    // other computers, which see the workspace elsewhere, find the file.
    return from > 0 ? p.mid(from) : p;
}

QString expandWorkspaceRelative(const QString& workspaceDir, const QString& stored, RelativeKind kind)
{
    const QString shortForm = workspaceShortForm(stored, kind, workspaceDir);
    if (shortForm.isEmpty())
        return {};
    // An absolute path of this computer outside the workspace stays where it
    // is. A drive path (C:\...) from a Windows computer means nothing here and
    // goes behind the workspace like any other stored value.
    if (shortForm.startsWith(QLatin1Char('\\')))
        return toSlashes(shortForm);
    return joinPath(workspaceDir, shortForm);
}

} // namespace zedora
