#include "print/layout_files.h"

#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/directory_conventions.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/workspace_files.h"
#include "data/column_block.h"
#include "data/layout_loading.h"
#include "data/text_lines.h"

#include <QDir>
#include <QFileInfo>

namespace zedora {

namespace {

bool onDiskette(const QString& path) { return upperAscii(path.trimmed()).startsWith(QLatin1String("A:")); }

QString folderOf(const QString& path)
{
    const QString p = toSlashes(path);
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : p.left(slash);
}

// "name.xyz" and "name" both become "name.LAY".
QString withLayExtension(const QString& path)
{
    const QString p = path.trimmed();
    const QString name = lastComponent(p);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return p + QStringLiteral(".LAY");
    return p.left(p.size() - (name.size() - dot)) + QStringLiteral(".LAY");
}

bool sameFile(const QString& a, const QString& b)
{
    return upperAscii(toSlashes(resolvePath(a.trimmed()))) == upperAscii(toSlashes(resolvePath(b.trimmed())));
}

} // namespace

LayoutFiles::LayoutFiles(const QString& workspaceDir, WorkspaceFiles& files, Interaction& ui)
    : workspaceDir_(workspaceDir), files_(files), ui_(ui)
{
}

QString LayoutFiles::layoutFolder() const { return resolveIn(workspaceDir_, QStringLiteral("LAYOUT")); }

QString LayoutFiles::startFolder(const EditedLayout& layout) const
{
    const QString folder = folderOf(layout.path);
    if (!folder.isEmpty() && QFileInfo(resolvePath(folder)).isDir())
        return resolvePath(folder);
    return layoutFolder();
}

bool LayoutFiles::open(EditedLayout& layout, const QString& activeAbbreviationFile)
{
    const auto chosen = ui_.openFile(QStringLiteral("Layoutdatei laden"), QStringLiteral("Layoutdateien (*.lay)"),
                                     startFolder(layout), QString());
    if (!chosen || chosen->trimmed().isEmpty())
        return false;
    return openPath(layout, *chosen, activeAbbreviationFile);
}

bool LayoutFiles::openPath(EditedLayout& layout, const QString& chosenPath, const QString& activeAbbreviationFile)
{
    if (onDiskette(chosenPath)) {
        ui_.warning(QStringLiteral("Das Öffnen einer Datei auf Diskette ist nicht gestattet,\n"
                                   "benutzen Sie den Menüpunkt \"Von Diskette\" !\n"));
        return false;
    }
    if (layout.changed
        && ui_.ask(QStringLiteral("Sollen die Änderungen im Layout gespeichert werden?\n"), Buttons::YesNo)
               == Answer::Yes)
        save(layout);

    QString path = resolvePath(chosenPath.trimmed());
    if (upperAscii(path).contains(QLatin1String("LAYOUTVORLAGEN"))) {
        const QString testFolder = resolveIn(workspaceDir_, QStringLiteral("LAYOUT\\Testen"));
        const QString copy = joinPath(testFolder, lastComponent(path));
        if (pathExists(copy)) {
            ui_.info(QStringLiteral("Kopieren nicht erfolgreich, Datei ist bereits vorhanden!"));
        } else {
            ui_.info(QStringLiteral("Eine Layoutdatei aus dem \"Vorlagenordner\" wurde gewählt,\n\n"
                                    "die Layoutdatei wird in den Ordner \\Layout\\Testen kopiert!"));
            files_.createDirectory(testFolder);
            if (!files_.copyFile(path, copy)) {
                // Editing the template itself would change it for every class.
                ui_.error(QStringLiteral("Die Layoutdatei konnte nicht kopiert werden:\n") + QDir::toNativeSeparators(copy));
                return false;
            }
        }
        path = resolvePath(copy);
    }

    std::optional<QStringList> lines = readTextLines(path);
    if (!lines) {
        ui_.error(QStringLiteral("Layoutdatei nicht gefunden!"));
        return false;
    }
    layout.path = path;
    layout.text = *lines;
    layout.changed = false;
    if (!hasBlock(layout.text)) {
        ensureBlock(layout.text);
        layout.changed = true;
    }
    layout.data = readLayoutForEditing(layout.text, toWindowsSeparators(path), activeAbbreviationFile);
    if (!sameFile(path, resolveIn(workspaceDir_, QStringLiteral("MUSTER\\MUSTER.LAY"))))
        checkDirectoryConvention(path, FileKind::Layout, ui_);
    return true;
}

bool LayoutFiles::writeText(EditedLayout& layout)
{
    layout.text = buildLayoutText(layout.data, ui_);
    TNeueDateien& reg = files_.createdFiles();
    const bool ok = saveLayout(layout.path, layout.text, [&reg](const QString& p) { reg.registerFile(p); }, ui_);
    if (ok)
        layout.changed = false;
    return ok;
}

bool LayoutFiles::save(EditedLayout& layout)
{
    if (layout.path.trimmed().isEmpty())
        return saveAs(layout);
    return writeText(layout);
}

bool LayoutFiles::saveAs(EditedLayout& layout)
{
    const auto chosen = ui_.saveFile(QStringLiteral("Layoutdatei speichern unter"),
                                     QStringLiteral("Drucklayoutdateien (*.lay)"), startFolder(layout),
                                     lastComponent(layout.path));
    if (!chosen || chosen->trimmed().isEmpty())
        return false;
    return saveAsPath(layout, *chosen);
}

bool LayoutFiles::saveAsPath(EditedLayout& layout, const QString& chosenPath)
{
    if (onDiskette(chosenPath)) {
        ui_.warning(QStringLiteral("Das Speichern einer Datei auf Diskette ist nicht gestattet,\n"
                                   "benutzen Sie den Menüpunkt \"Auf Diskette\" !\n"));
        return false;
    }
    const QString path = resolvePath(withLayExtension(chosenPath));
    if (QFileInfo::exists(path)
        && ui_.ask(QStringLiteral("Datei ist bereits vorhanden!\nSoll sie überschrieben werden?\n"),
                   Buttons::YesNoCancel)
               != Answer::Yes)
        return false;
    if (!checkDirectoryConvention(path, FileKind::Layout, ui_))
        return false;
    // A failed write leaves the editor on the file it came from.
    const QString previous = layout.path;
    layout.path = path;
    if (writeText(layout))
        return true;
    layout.path = previous;
    return false;
}

QString LayoutFiles::layoutToEdit(const QString& currentLayout)
{
    if (!currentLayout.trimmed().isEmpty()) {
        const QString current = resolvePath(currentLayout.trimmed());
        if (QFileInfo(current).isFile())
            return current;
    }
    const QString demo = resolveIn(workspaceDir_, QStringLiteral("LAYOUT\\DEMO.LAY"));
    if (!QFileInfo(demo).isFile()) {
        files_.createDirectory(layoutFolder());
        files_.copyFile(resolveIn(workspaceDir_, QStringLiteral("MUSTER\\DEMOLAY.MST")), demo);
    }
    return resolvePath(demo);
}

} // namespace zedora
