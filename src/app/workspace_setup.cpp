#include "app/workspace_setup.h"

#include "core/app_version.h"
#include "base/created_files_register.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/workspace_files.h"
#include "data/demo_directory.h"
#include "data/student_files.h"
#include "dbase/raw_file.h"
#include "data/table_in_use.h"

#include <QDir>
#include <QFile>
#include <QDirIterator>
#include <QFileInfo>
#include <QStringList>

namespace zedora {
namespace {

QString two(int n)
{
    return QStringLiteral("%1").arg(n % 100, 2, 10, QLatin1Char('0'));
}

// ZE-YYZZ-1 and ZE-YYZZ-2 for every school year starting in firstYear..lastYear.
QStringList halfYearDirectories(int firstYear, int lastYear)
{
    QStringList out;
    for (int y = firstYear; y <= lastYear; ++y) {
        for (int h = 1; h <= 2; ++h)
            out << QStringLiteral("ZE-%1%2-%3").arg(two(y), two(y + 1)).arg(h);
    }
    return out;
}

void copyWhenMissing(WorkspaceFiles& files, const QString& workspace, const QString& from,
                     const QString& to)
{
    if (!pathExists(joinPath(workspace, to)))
        files.copyFile(resolveIn(workspace, from), resolveIn(workspace, to));
}

} // namespace

void installShippedTemplates(const QString& programDir, const QString& workspace,
                             WorkspaceFiles& files)
{
    const QString source = resolveIn(programDir, QStringLiteral("MUSTER"));
    if (!QFileInfo(source).isDir())
        return;
    files.createDirectory(joinPath(workspace, QStringLiteral("MUSTER")));
    const QString target = resolveIn(workspace, QStringLiteral("MUSTER"));
    QDirIterator it(source, QDir::Files);
    while (it.hasNext()) {
        const QFileInfo fi(it.next());
        if (!pathExists(joinPath(target, fi.fileName())))
            files.copyFile(fi.absoluteFilePath(), joinPath(target, fi.fileName()));
    }
    files.clearCopyLists();
}

bool workspaceSetupNeeded(const QString& workspace)
{
    return !pathExists(joinPath(workspace, QStringLiteral("zdrlokal.ini")));
}

void runWorkspaceSetup(const QString& programDir, const QString& workspace, WorkspaceFiles& files)
{
    TNeueDateien& reg = files.createdFiles();
    reg.beginDefer();
    QStringList dirs = {QStringLiteral("ARCHIV"), QStringLiteral("DOKU-PDF-ARCHIV")};
    for (const QString& d : halfYearDirectories(9, 15))
        dirs << QStringLiteral("DOKU-PDF-ARCHIV\\") + d;
    dirs << QStringLiteral("ZE-0000-0");
    dirs << halfYearDirectories(10, 16);
    dirs << QStringLiteral("TMP") << QStringLiteral("DEFINI") << QStringLiteral("LAYOUT")
         << QStringLiteral("DEFINI\\VORLAGEN-TBS");
    for (const QString& d : dirs)
        files.createDirectory(joinPath(workspace, d));
    files.deleteDirectory(joinPath(workspace, QStringLiteral("DEFINI\\VORLAGEN-FDF")));
    files.deleteDirectory(joinPath(workspace, QStringLiteral("LAYOUT\\VORLAGEN-LAY")));
    reg.endDefer();

    // Without their index files every student file is indexed afresh when
    // it is next opened; files another computer has open keep theirs.
    QStringList indexed = {QStringLiteral("ZE-9697"), QStringLiteral("ZE-9798"),
                           QStringLiteral("ZE-9899"), QStringLiteral("ZE-9900"),
                           QStringLiteral("ZE-0000-0"), QStringLiteral("ZE-9900-1"),
                           QStringLiteral("ZE-9900-2")};
    indexed << halfYearDirectories(0, 16) << QStringLiteral("ARCHIV") << QStringLiteral("DEFINI");
    const QStringList obsolete = {
        QStringLiteral("MUSTER.MS1"),        QStringLiteral("MUSTER.MS2"),
        QStringLiteral("MUSTER.MS3"),        QStringLiteral("DEMO.DBF"),
        QStringLiteral("DEMO.DBT"),          QStringLiteral("MUSTER\\HLPTEXT.TXT"),
        QStringLiteral("ZDR_HABU_5.PDF"),    QStringLiteral("ZDR_HISTORY_5.PDF"),
        QStringLiteral("ZDR_HISTORY.PDF"),   QStringLiteral("ZDR_FAQ.PDF")};
    for (const QString& base : {programDir, workspace}) {
        for (const QString& d : indexed)
            deleteIndexesOfFreeTables(joinPath(base, d));
        files.deleteByMask(joinPath(base, QStringLiteral("DEFINI")), QStringLiteral("*"),
                           QStringLiteral("MST"));
        deleteIndexesOfFreeTables(base);
        for (const QString& f : obsolete)
            files.deleteFile(joinPath(base, f));
    }

    // The demo class is shared by every computer of the workspace: a new
    // computer's start must not replace it under the others.
    if (installDemoTemplate(workspace, files))
        files.deleteFile(joinPath(workspace, QStringLiteral("ZE-0000-0\\demo.ini")));

    for (const QString& base : {programDir, workspace}) {
        for (const char* manual : {"zdr_habu.pdf", "zdr_history.pdf", "zdr_faq.pdf"})
            files.deleteFile(joinPath(base, QLatin1String(manual)));
    }

    for (int i = 1; i <= 3; ++i)
        copyWhenMissing(files, workspace, QStringLiteral("MUSTER\\raster%1.mst").arg(i),
                        QStringLiteral("MUSTER\\raster%1.wmf").arg(i));
    copyWhenMissing(files, workspace, QStringLiteral("MUSTER\\#demo.dbf"), QStringLiteral("DEFINI\\#demo.dbf"));
    copyWhenMissing(files, workspace, QStringLiteral("MUSTER\\fdf.mst"), QStringLiteral("DEFINI\\demo.fdf"));
    copyWhenMissing(files, workspace, QStringLiteral("MUSTER\\KLASSEN.MST"), QStringLiteral("KLASSEN.TXT"));
    copyWhenMissing(files, workspace, QStringLiteral("MUSTER\\KUERZEL.MST"), QStringLiteral("KUERZEL.TXT"));
    copyWhenMissing(files, workspace, QStringLiteral("MUSTER\\DURCHSCHNITT.MST"),
                    QStringLiteral("DURCHSCHNITT.TXT"));
    copyWhenMissing(files, workspace, QStringLiteral("MUSTER\\ABSCHL.MST"), QStringLiteral("ABSCHL.TXT"));

    files.copyFile(resolveIn(workspace, QStringLiteral("MUSTER\\DEMOLAY.MST")),
                   resolveIn(workspace, QStringLiteral("LAYOUT\\DEMO.LAY")));

    // The demo files are laid out with their production index, as the
    // program's own files always are; one another computer holds open
    // keeps what it has (the build needs the file alone).
    for (const auto& [file, kind] : {std::pair{QStringLiteral("ZE-0000-0\\demo.dbf"), IndexKind::StudentFile},
                                     std::pair{QStringLiteral("DEFINI\\#demo.dbf"), IndexKind::TextBlocks}}) {
        const QString dbf = resolveIn(workspace, file);
        bool indexed = false;
        dbase::companionPath(QFile::encodeName(dbf).toStdString(), ".MDX", &indexed);
        if (QFileInfo(dbf).isFile() && !indexed)
            buildIndexes(dbf, kind, files);
    }
    files.clearCopyLists();
}

bool postUpdatePending(const QString& programDir, const QString& workspace)
{
    return pathExists(joinPath(programDir, QStringLiteral("nachsetup.txt")))
        || pathExists(joinPath(workspace, QStringLiteral("nachsetup.txt")));
}

void runPostUpdateStep(const QString& programDir, const QString& workspace, WorkspaceFiles& files,
                       Interaction& ui)
{
    files.deleteFile(joinPath(programDir, QStringLiteral("nachsetup.txt")));
    files.deleteFile(joinPath(workspace, QStringLiteral("nachsetup.txt")));
    runWorkspaceSetup(programDir, workspace, files);

    const QString fresh = joinPath(workspace, QStringLiteral("LAYOUT\\LayoutVorlagenNeu"));
    const QString current = joinPath(workspace, QStringLiteral("LAYOUT\\LayoutVorlagen"));
    if (QFileInfo(resolvePath(fresh)).isDir()) {
        files.deleteDirectory(current);
        if (pathExists(current)) {
            ui.warning(QStringLiteral("Neuer Vorlagenordner konnte nicht korrekt installiert werden!\n\n"
                                   "Bitte nennen Sie den Ordner \\layout\\LayoutVorlagenNeu\n"
                                   "manuell um in \\layout\\LayoutVorlagen  !"));
        }
        files.moveDirectory(fresh, current, true);
    }

    ui.info(QStringLiteral("\nZedora Version %1 V-Nr.: ").arg(QLatin1String(kVersionText))
            + QString::number(kVersionNumber) + QStringLiteral("\n\n")
            + QStringLiteral("Eine Datenreorganisation nach Neu- bzw. ") + QStringLiteral("\n")
            + QStringLiteral("Updateinstallation wurde durchgeführt.\n\n")
            + QStringLiteral("WICHTIGER HINWEIS: Daten-Verzeichnisse\n")
            + QStringLiteral("(z.B. ZE-1920-?) dürfen NICHT umbenannt werden!\n\n"));
}

void removeTemporaryFiles(const QString& workspace, WorkspaceFiles& files)
{
    files.deleteByMask(QDir::tempPath(), QStringLiteral("QRP*"), QStringLiteral("TMP"));
    files.deleteByMask(joinPath(workspace, QStringLiteral("TMP")), QStringLiteral("*"),
                       QStringLiteral("*"));
    for (const char* dir : {"ZipTmp", "zipimport"}) {
        const QString path = joinPath(workspace, QLatin1String(dir));
        files.deleteByMask(path, QStringLiteral("*"), QStringLiteral("*"));
        files.deleteDirectory(path);
    }
}

} // namespace zedora
