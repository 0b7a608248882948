#include "data/column_block_sources.h"

#include "core/settings_files.h"
#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/safe_file.h"
#include "data/column_block.h"
#include "data/text_lines.h"

#include <QDir>
#include <QFileInfo>

namespace zedora {
namespace {

const QString kLayoutDialogTitle = QStringLiteral("Tabellenlayout laden");

void startBlock(QStringList& lines)
{
    cutBlock(lines);
    lines << QString() << QLatin1String(kBlockMarker);
}

QString directoryOf(const QString& path)
{
    return QFileInfo(toSlashes(path)).absolutePath();
}

} // namespace

void blockFromPrintedFields(QStringList& layoutLines, const QStringList& allFieldLines)
{
    cutBlock(layoutLines);
    const QString layoutText = upperAscii(layoutLines.join(QLatin1Char('\n')));
    layoutLines << QString() << QLatin1String(kBlockMarker);
    for (int i = 2; i < allFieldLines.size(); ++i) {
        const QString name = upperAscii(allFieldLines[i].left(18).trimmed());
        if (!name.isEmpty() && layoutText.contains(QLatin1Char('%') + name + QLatin1Char('%')))
            layoutLines << allFieldLines[i];
    }
    ensureBlock(layoutLines);
}

void blockFromColumnFile(QStringList& layoutLines, const QStringList& columnFileLines)
{
    startBlock(layoutLines);
    for (const QString& line : columnFileLines) {
        if (isColumnLine(line))
            layoutLines << line;
    }
    layoutLines << QString();
    ensureBlock(layoutLines);
}

bool blockFromOtherLayout(QStringList& layoutLines, const QStringList& otherLayoutLines,
                          Interaction& ui)
{
    const int marker = blockMarkerIndex(otherLayoutLines);
    if (marker <= 0) {
        ui.info(QStringLiteral("Datei enthält keine Tabellenlayout-Informationen"));
        return false;
    }
    startBlock(layoutLines);
    layoutLines << otherLayoutLines.mid(marker + 1);
    layoutLines << QString();
    ensureBlock(layoutLines);
    return true;
}

bool runPrintedFieldsButton(QStringList& layoutLines, const QString& workspaceDir)
{
    const QStringList all =
        readTextLines(resolveIn(workspaceDir, QStringLiteral("MUSTER\\FACH-ALL.MST")))
            .value_or(QStringList());
    blockFromPrintedFields(layoutLines, all);
    return true;
}

bool runColumnFileButton(QStringList& layoutLines, const QString& workspaceDir, Interaction& ui)
{
    const std::optional<QString> file =
        ui.openFile(kLayoutDialogTitle, QStringLiteral("Fächerdateien (*.fdf)"),
                    resolveIn(workspaceDir, QStringLiteral("DEFINI")), QString());
    if (!file)
        return false;
    const std::optional<QStringList> lines = readTextLines(resolvePath(*file));
    if (!lines)
        return false;
    blockFromColumnFile(layoutLines, *lines);
    return true;
}

bool runOtherLayoutButton(QStringList& layoutLines, const QString& currentLayout, Interaction& ui)
{
    const std::optional<QString> file =
        ui.openFile(kLayoutDialogTitle, QStringLiteral("Layoutdateien (*.lay)"),
                    directoryOf(currentLayout), QString());
    if (!file)
        return false;
    const std::optional<QStringList> lines = readTextLines(resolvePath(*file));
    return blockFromOtherLayout(layoutLines, lines.value_or(QStringList()), ui);
}

std::optional<QString> chooseColumnLayoutFile(const QString& workspaceDir, Interaction& ui)
{
    const std::optional<QString> file =
        ui.openFile(kLayoutDialogTitle, QStringLiteral("Fächerdateien(*.fdf)"),
                    resolveIn(workspaceDir, QStringLiteral("DEFINI")), QString());
    if (!file)
        return std::nullopt;
    return upperAscii(lastComponent(*file)).left(40);
}

std::optional<QString> chooseLayout(const QString& workspaceDir, const QString& currentLayout,
                                    Interaction& ui, const FileWrittenCallback& written,
                                    const FileWrittenCallback& directoryCreated)
{
    const QString current = currentLayout.trimmed().isEmpty() ? QString() : resolvePath(currentLayout);
    const bool exists = !current.isEmpty() && QFileInfo(current).isFile();
    const QString dir = exists ? directoryOf(current) : resolveIn(workspaceDir, QStringLiteral("LAYOUT"));
    const std::optional<QString> file =
        ui.openFile(QStringLiteral("Drucklayout wählen"), QStringLiteral("Drucklayoutdateien (*.lay)"),
                    dir, exists ? QFileInfo(current).fileName() : QString());
    if (!file)
        return std::nullopt;
    QString chosen = *file;
    if (upperAscii(chosen).contains(QLatin1String("LAYOUTVORLAGEN"))) {
        const QString testDir = resolveIn(workspaceDir, QStringLiteral("LAYOUT\\Testen"));
        if (!QFileInfo(testDir).isDir()) {
            QDir().mkpath(testDir);
            if (directoryCreated)
                directoryCreated(testDir);
        }
        const QString copy = resolveIn(testDir, lastComponent(chosen));
        ui.info(QStringLiteral("Eine Layoutdatei aus dem \"Vorlagenordner\" wurde gewählt,\n\n"
                               "die Layoutdatei wird in den Ordner \\Layout\\Testen kopiert!"));
        if (QFileInfo::exists(copy)) {
            ui.info(QStringLiteral("Kopieren nicht erfolgreich, Datei ist bereits vorhanden!"));
        } else if (copyFileSafely(resolvePath(chosen), copy)) {
            if (written)
                written(copy);
        } else {
            ui.error(writeFailureText(QDir::toNativeSeparators(copy)));
            return std::nullopt;
        }
        chosen = copy;
    }
    return chosen.left(200);
}

} // namespace zedora
