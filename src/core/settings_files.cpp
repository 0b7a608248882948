#include "core/settings_files.h"

#include "core/settings_keys.h"
#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/workspace_relative.h"

#include <QGuiApplication>
#include <QScreen>

namespace zedora {
namespace {

using settings_keys::File;
using settings_keys::Key;
using settings_keys::Slots;
namespace flag = settings_keys;

const QString kAllgemeines = QStringLiteral("ALLGEMEINES");

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

QString slotKey(int slot) { return QStringLiteral("Layout-%1").arg(slot); }

RelativeKind relativeKind(const Key& k)
{
    return (k.flags & flag::StudentFilePath) ? RelativeKind::StudentFile : RelativeKind::Layout;
}

bool isRelative(const Key& k) { return k.flags & (flag::StudentFilePath | flag::LayoutPath); }

void readKeys(const ProfileFile& ini, File file, const QString& workspace, Settings& s,
              const Settings& d)
{
    for (const Key& k : settings_keys::keys()) {
        if (k.file != file || (k.flags & flag::NotRead))
            continue;
        const QString section = QString::fromLatin1(k.section);
        const QString name = QString::fromLatin1(k.name);
        std::visit(Overloaded{
                       [&](QString Settings::*m) {
                           QString v = ini.readString(section, name, d.*m).left(k.width);
                           if (k.flags & flag::Trimmed)
                               v = v.trimmed();
                           if (k.flags & flag::UpperCase)
                               v = upperAscii(v);
                           if (k.flags & flag::GradeList)
                               v = normaliseGradeList(v);
                           if (isRelative(k))
                               v = expandWorkspaceRelative(workspace, v, relativeKind(k));
                           s.*m = v;
                       },
                       [&](int Settings::*m) { s.*m = ini.readInt(section, name, d.*m); },
                       [&](bool Settings::*m) { s.*m = ini.readBool(section, name, d.*m); },
                       [&](Slots Settings::*m) {
                           for (int slot : settings_keys::layoutSlots()) {
                               const QString v =
                                   ini.readString(section, slotKey(slot), (d.*m)[slot]).left(k.width);
                               (s.*m)[slot] = expandWorkspaceRelative(workspace, v, relativeKind(k));
                           }
                       },
                   },
                   k.member);
    }
}

void writeKeys(ProfileFile& ini, File file, const QString& workspace, const Settings& s)
{
    for (const Key& k : settings_keys::keys()) {
        if (k.file != file || (k.flags & flag::NeverWritten))
            continue;
        const QString section = QString::fromLatin1(k.section);
        const QString name = QString::fromLatin1(k.writeName());
        std::visit(Overloaded{
                       [&](QString Settings::*m) {
                           QString v = s.*m;
                           if (k.flags & flag::WrittenTrimmed)
                               v = v.trimmed();
                           if (k.flags & flag::UpperCase)
                               v = upperAscii(v);
                           if (isRelative(k))
                               v = workspaceShortForm(v, relativeKind(k), workspace);
                           ini.writeString(section, name, v);
                       },
                       [&](int Settings::*m) { ini.writeInt(section, name, s.*m); },
                       [&](bool Settings::*m) { ini.writeBool(section, name, s.*m); },
                       [&](Slots Settings::*m) {
                           for (int slot : settings_keys::layoutSlots())
                               ini.writeString(section, slotKey(slot),
                                               workspaceShortForm((s.*m)[slot], RelativeKind::Layout,
                                                                  workspace));
                           // Layout-12 records the current layout for older installations.
                           ini.writeString(section, slotKey(12),
                                           workspaceShortForm(s.LetztesLayout, RelativeKind::Layout,
                                                              workspace));
                       },
                   },
                   k.member);
    }
}

QString spellCheckerDirectory(const QString& programDir, const QString& spellPath)
{
    const QString hash = QStringLiteral("german/german.hash");
    if (!programDir.isEmpty()) {
        const QString dir = joinPath(programDir, QStringLiteral("Speller/Ispell/"));
        if (pathExists(joinPath(dir, hash)))
            return dir;
    }
    QString dir = toSlashes(spellPath.trimmed());
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

} // namespace

QString writeFailureText(const QString& fileName)
{
    return fileName + QStringLiteral(" konnte nicht geschrieben werden!") + QStringLiteral("\n\n")
           + QStringLiteral("Mögliche Ursachen:") + QStringLiteral("\n")
           + QStringLiteral("Schreibschutz, Arbeitsverzeichnis nicht vorhanden") + QStringLiteral("\n")
           + QStringLiteral("\n");
}

SettingsFiles::SettingsFiles(QString workspaceDir, QString computerName, Interaction& ui)
    : workspaceDir_(std::move(workspaceDir)), computerName_(std::move(computerName)), ui_(ui)
{
}

QString SettingsFiles::perComputerFileName(const QString& computerName)
{
    return QStringLiteral("ZDR-") + computerName + QStringLiteral(".ini");
}

QString SettingsFiles::inWorkspace(const QString& name) const
{
    return resolveIn(workspaceDir_, name);
}

QString SettingsFiles::programWidePath() const { return inWorkspace(QStringLiteral("ZEDORA.INI")); }
QString SettingsFiles::passwordsPath() const { return inWorkspace(QStringLiteral("PW.INI")); }
QString SettingsFiles::perComputerPath() const
{
    return inWorkspace(perComputerFileName(computerName_));
}

Settings SettingsFiles::defaults() const
{
    QSize screen = screen_;
    if (!screen.isValid()) {
        screen = QSize(1920, 1080);
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            if (const QScreen* primary = QGuiApplication::primaryScreen())
                screen = primary->size();
    }
    return Settings::defaults(workspaceDir_, screen.width());
}

void SettingsFiles::readZedoraIni(Settings& s, const Settings& d) const
{
    const ProfileFile ini = ProfileFile::fromFile(programWidePath());
    readKeys(ini, File::ProgramWide, workspaceDir_, s, d);

    s.spellCheckerDirectory = spellCheckerDirectory(programDir_, s.ZedoraSpellPath);
    s.spellCheckerAvailable =
        pathExists(joinPath(s.spellCheckerDirectory, QStringLiteral("german/german.hash")));
    if (s.ImportArt == 1)
        s.ImportArt = 0;
    if (s.ImportArt == 0) {
        s.FreiFeld1 = QStringLiteral("NN");
        s.FreiFeld2 = QStringLiteral("VON_SCHULE");
    }
    s.BreiteGridSpalte1 = s.nameGridSecondColumnWidth();
    if (s.Musterart < 1 || s.Musterart > 18)
        s.Musterart = 13;
    s.setColourScheme(s.FARBSCHEMA);
}

void SettingsFiles::readPasswords(Settings& s) const
{
    const ProfileFile pw = ProfileFile::fromFile(passwordsPath());
    auto plain = [&](const char* key) {
        const QString stored = pw.readString(kAllgemeines, QString::fromLatin1(key)).trimmed().left(40);
        return stored.isEmpty() ? QString() : unscramblePassword(stored);
    };
    s.passwords.admin = plain("SB");
    s.passwords.start = plain("ST");
    if (s.passwords.admin.trimmed().isEmpty())
        s.passwords.adminWritable = true;
}

void SettingsFiles::readPerComputer(Settings& s, const Settings& d) const
{
    const ProfileFile ini = ProfileFile::fromFile(perComputerPath());
    readKeys(ini, File::PerComputer, workspaceDir_, s, d);
}

void SettingsFiles::read(Settings& s, bool recovery) const
{
    const Settings d = defaults();
    s.passwords.adminWritable = false;
    readZedoraIni(s, d);
    readPasswords(s);
    readPerComputer(s, d);
    if (recovery) {
        s.NotenDatei.clear();
        s.FloskelDatei.clear();
    }
}

void SettingsFiles::readProgramWide(Settings& s) const
{
    const Settings d = defaults();
    readZedoraIni(s, d);
    readPasswords(s);
}

ProfileFile::SaveStatus SettingsFiles::saveFile(const ProfileFile& file, const QString& path)
{
    return file.save(path);
}

void SettingsFiles::fileWritten(const QString& path) const
{
    if (written_)
        written_(path);
}

bool SettingsFiles::writeProgramWide(const Settings& s, bool adminMode)
{
    if (!adminMode)
        return true;

    bool complete = true;
    const QString iniPath = programWidePath();
    ProfileFile ini;
    ini.load(iniPath); // an unreadable file is refused by the save below
    writeKeys(ini, File::ProgramWide, workspaceDir_, s);
    ini.writeBool(kAllgemeines, QStringLiteral("Supervisor"), adminMode);
    ini.writeBool(QStringLiteral("LAYOUT"), QStringLiteral("streckungGewuenscht"), true);
    switch (saveFile(ini, iniPath)) {
    case ProfileFile::SaveStatus::Saved:
        fileWritten(iniPath);
        break;
    case ProfileFile::SaveStatus::NotCreated:
        ui_.error(writeFailureText(QStringLiteral("Zedora.ini")));
        return false;
    case ProfileFile::SaveStatus::NotCompleted:
        ui_.info(QStringLiteral("Programmeinstellungen (ZEDORA.INI) konnten nicht gespeichert werden!"));
        complete = false;
        break;
    }

    const QString pwPath = passwordsPath();
    ProfileFile pw;
    pw.load(pwPath);
    if (s.passwords.adminWritable)
        pw.writeString(kAllgemeines, QStringLiteral("SB"), scramblePassword(s.passwords.admin));
    const QString start = s.passwords.start.trimmed();
    pw.writeString(kAllgemeines, QStringLiteral("ST"), start.isEmpty() ? QString() : scramblePassword(start));
    if (saveFile(pw, pwPath) == ProfileFile::SaveStatus::Saved) {
        fileWritten(pwPath);
    } else {
        ui_.error(writeFailureText(QStringLiteral("pw.ini")));
        complete = false;
    }
    return complete;
}

bool SettingsFiles::writePerComputer(const Settings& s)
{
    const QString path = perComputerPath();
    ProfileFile ini;
    ini.load(path);
    writeKeys(ini, File::PerComputer, workspaceDir_, s);
    if (saveFile(ini, path) != ProfileFile::SaveStatus::Saved) {
        ui_.error(writeFailureText(lastComponent(path)));
        return false;
    }
    fileWritten(path);
    return true;
}

} // namespace zedora
