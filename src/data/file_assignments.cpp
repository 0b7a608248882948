#include "data/file_assignments.h"

#include "core/settings_files.h"
#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/profile_file.h"
#include "base/workspace_relative.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace zedora {
namespace {

const QString kAssign = QStringLiteral("ZUORDNUNGEN");
const QString kEpochal = QStringLiteral("EPOCHAL");

QString slotKey(int i)
{
    return QStringLiteral("EP%1").arg(i + 1, 2, 10, QLatin1Char('0'));
}

QString readKept(const ProfileFile& ini, const QString& key, const QString& previous, int width)
{
    if (!ini.hasKey(kAssign, key))
        return previous;
    return ini.readString(kAssign, key).left(width);
}

bool save(const ProfileFile& ini, const QString& path, Interaction& ui,
          const FileWrittenCallback& written)
{
    if (ini.save(path) != ProfileFile::SaveStatus::Saved) {
        ui.error(writeFailureText(QDir::toNativeSeparators(path)));
        return false;
    }
    if (written)
        written(path);
    return true;
}

} // namespace

QString assignmentsPath(const QString& studentFile)
{
    const QString path = toSlashes(studentFile.trimmed());
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > slash ? path.left(dot) : path;
    return resolvePath(base + QStringLiteral(".INI"));
}

FileAssignments readAssignments(const QString& studentFile, const QString& workspaceDir,
                                const FileAssignments& previous)
{
    const ProfileFile ini = ProfileFile::fromFile(assignmentsPath(studentFile));
    FileAssignments a;
    if (ini.hasKey(kAssign, QStringLiteral("Layoutdatei")))
        a.Layoutdatei = expandWorkspaceRelative(
            workspaceDir, ini.readString(kAssign, QStringLiteral("Layoutdatei")).left(200),
            RelativeKind::Layout);
    else
        a.Layoutdatei = previous.Layoutdatei;
    a.TBSdatei = readKept(ini, QStringLiteral("TBSdatei"), previous.TBSdatei, 50);
    a.Faecherdatei = readKept(ini, QStringLiteral("Faecherdatei"), previous.Faecherdatei, 40);
    for (int i = 0; i < kBlockSubjectSlots; ++i)
        a.EP[size_t(i)] = upperAscii(ini.readString(kEpochal, slotKey(i)).left(20));
    return a;
}

bool writeAssignments(const QString& studentFile, const QString& workspaceDir,
                      const FileAssignments& a, Interaction& ui, const FileWrittenCallback& written)
{
    const QString path = assignmentsPath(studentFile);
    ProfileFile ini;
    ini.load(path);
    ini.writeString(kAssign, QStringLiteral("Layoutdatei"),
                    a.Layoutdatei.trimmed().isEmpty()
                        ? QString()
                        : workspaceShortForm(a.Layoutdatei, RelativeKind::Layout, workspaceDir));
    ini.writeString(kAssign, QStringLiteral("TBSdatei"), a.TBSdatei.left(50));
    ini.writeString(kAssign, QStringLiteral("Faecherdatei"), a.Faecherdatei.left(40));
    return save(ini, path, ui, written);
}

bool writeBlockSubjects(const QString& studentFile,
                        const std::array<QString, kBlockSubjectSlots>& subjects, Interaction& ui,
                        const FileWrittenCallback& written)
{
    const QString path = assignmentsPath(studentFile);
    ProfileFile ini;
    ini.load(path);
    for (int i = 0; i < kBlockSubjectSlots; ++i)
        ini.writeString(kEpochal, slotKey(i), upperAscii(subjects[size_t(i)].trimmed()).left(20));
    return save(ini, path, ui, written);
}

QString previousArchiveName(const QString& studentFileOrDirectory)
{
    // The last component that names a half-year: the directory of a file,
    // or the directory itself.
    static const QRegularExpression halfYear(QStringLiteral("^ZE-(\\d\\d)(\\d\\d)-([12])$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QStringList parts =
        toSlashes(studentFileOrDirectory.trimmed()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = parts.size() - 1; i >= 0 && i >= parts.size() - 2; --i) {
        const QRegularExpressionMatch m = halfYear.match(parts[i]);
        if (!m.hasMatch())
            continue;
        const QString yy = m.captured(1);
        const QString zz = m.captured(2);
        if (m.captured(3) == QLatin1String("2"))
            return QStringLiteral("A") + yy + QLatin1Char('-') + zz + QStringLiteral("-1.DBF");
        int year = yy.toInt();
        year += year < 51 ? 2000 : 1900;
        const QString before = QStringLiteral("%1").arg((year - 1) % 100, 2, 10, QLatin1Char('0'));
        return QStringLiteral("A") + before + QLatin1Char('-') + yy + QStringLiteral("-2.DBF");
    }
    return {};
}

} // namespace zedora
