#include "data/layout_loading.h"

#include "core/settings.h"
#include "core/settings_files.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "data/column_block.h"
#include "data/text_lines.h"

#include <QDir>
#include <QFileInfo>

namespace zedora {
namespace {

QString demoLayout(const QString& workspaceDir)
{
    return resolveIn(workspaceDir, QStringLiteral("LAYOUT\\DEMO.LAY"));
}

QStringList demoColumnLines(const QString& workspaceDir)
{
    return readTextLines(resolveIn(workspaceDir, QStringLiteral("DEFINI\\DEMO.FDF")))
        .value_or(QStringList());
}

bool isFile(const QString& path)
{
    return QFileInfo(path).isFile();
}

} // namespace

LayoutLoadContext LayoutLoadContext::fromSettings(const Settings& settings,
                                                  const QString& workspaceDir,
                                                  const QString& faecherdatei)
{
    LayoutLoadContext c;
    c.workspaceDir = workspaceDir;
    c.fdfAlt = settings.FDFAlt;
    c.nameGridVisible = settings.Grid2Sichtbar;
    c.faecherdatei = faecherdatei;
    return c;
}

bool saveLayout(const QString& path, const QStringList& lines, const FileWrittenCallback& written,
                Interaction& ui)
{
    if (!writeTextLines(path, lines)) {
        ui.error(writeFailureText(QDir::toNativeSeparators(path)));
        return false;
    }
    if (written)
        written(path);
    return true;
}

void applyColumnLayout(LoadedLayout& layout, const LayoutLoadContext& context, Interaction& ui)
{
    BusyScope busy(ui);
    ApplyOptions options;
    options.nameGridVisible = context.nameGridVisible;
    options.fileFields = context.fileFields;
    ApplyResult r = applyColumnLines(blockColumnLines(layout.lines), options);
    if (r.unknownField.isEmpty()) {
        layout.columns = std::move(r.description);
        return;
    }
    ui.error(QStringLiteral("Die aufgerufene Datei ist fehlerhaft!") + QStringLiteral("\n"));
    cutBlock(layout.lines);
    ensureBlock(layout.lines);
    // The layout's own block was not at fault when the columns came from a
    // column-layout file: keep the file as it is then.
    if (!layout.blockFromColumnFile && layout.writable)
        layout.saved = saveLayout(layout.path, layout.lines, context.written, ui) || layout.saved;
    layout.blockFromColumnFile = false;
    // Even the default columns may be missing in a foreign file: show what exists.
    options.skipUnknown = true;
    layout.columns = applyColumnLines(blockColumnLines(layout.lines), options).description;
}

LoadedLayout loadLayout(const QString& path, const LayoutLoadContext& context, Interaction& ui)
{
    LoadedLayout layout;
    QString chosen = path.trimmed().isEmpty() ? QString() : resolvePath(path.trimmed());
    if (chosen.isEmpty() || !isFile(chosen)
        || QFileInfo(chosen).suffix().compare(QLatin1String("LAY"), Qt::CaseInsensitive) != 0)
        chosen = demoLayout(context.workspaceDir);
    layout.path = chosen;

    const std::optional<QStringList> read = readTextLines(chosen);
    layout.lines = read.value_or(QStringList());
    // A layout that exists but cannot be read is never written over.
    layout.writable = read.has_value() || !QFileInfo::exists(chosen);
    const bool mayWrite = layout.writable;
    layout.abbreviationFile = abbreviationFileName(layout.lines);

    if (!hasBlock(layout.lines)) {
        bool changed = false;
        if (context.fdfAlt) {
            layout.lines << QString() << QString() << QLatin1String(kBlockMarker);
            layout.lines << demoColumnLines(context.workspaceDir);
            changed = true;
        } else {
            ui.info(QStringLiteral(
                "HINWEIS: Diese Layoutdatei (erstellt mit Version Zedora 4 oder früher) enthält "
                "keine Informationen über das Aussehen der Eingabetabelle!"));
            if (context.chooseBlock)
                changed = context.chooseBlock(layout);
        }
        if (changed && mayWrite)
            layout.saved = saveLayout(layout.path, layout.lines, context.written, ui);
    }
    if (!ensureBlock(layout.lines) && mayWrite)
        layout.saved = saveLayout(layout.path, layout.lines, context.written, ui) || layout.saved;

    if (context.fdfAlt && !context.faecherdatei.trimmed().isEmpty() && hasBlock(layout.lines)) {
        const QString fdf = resolveIn(context.workspaceDir,
                                      QStringLiteral("DEFINI\\") + context.faecherdatei.trimmed());
        if (isFile(fdf)) {
            QStringList columnLines = readTextLines(fdf).value_or(QStringList());
            if (columnLines.size() < 3)
                columnLines = demoColumnLines(context.workspaceDir);
            replaceBlock(layout.lines, columnLines);
            layout.blockFromColumnFile = true;
        }
    }

    applyColumnLayout(layout, context, ui);
    return layout;
}

} // namespace zedora
