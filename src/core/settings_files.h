#pragma once
// Reads and writes the three settings files of the workspace: ZEDORA.INI
// (program-wide, written only in administrator mode), PW.INI (the two
// passwords, written with it) and ZDR-<computer name>.ini (this computer's
// window state and last files, always written). A file is found in the
// workspace under any letter case and written under the spelling it has.
#include "core/settings.h"
#include "base/profile_file.h"

#include <QSize>
#include <QString>
#include <functional>

namespace zedora {

class Interaction;

// The error text shown when a settings or assignment file cannot be written.
QString writeFailureText(const QString& fileName);

class SettingsFiles {
public:
    SettingsFiles(QString workspaceDir, QString computerName, Interaction& ui);
    virtual ~SettingsFiles() = default;
    SettingsFiles(const SettingsFiles&) = delete;
    SettingsFiles& operator=(const SettingsFiles&) = delete;

    // Called with the path of every file written (the created-files register).
    void setWrittenCallback(std::function<void(const QString& path)> callback)
    {
        written_ = std::move(callback);
    }
    // Where the spell checker is looked for first.
    void setProgramDirectory(const QString& dir) { programDir_ = dir; }
    // The screen decides the preview defaults; without it the primary screen.
    void setScreenSize(const QSize& size) { screen_ = size; }

    static QString perComputerFileName(const QString& computerName);
    // The files as they exist in the workspace, or as they will be created.
    QString programWidePath() const;
    QString passwordsPath() const;
    QString perComputerPath() const;

    // The start-up read: ZEDORA.INI, PW.INI, then the per-computer file.
    // recovery: forget the last student file and text-block file afterwards.
    void read(Settings& s, bool recovery = false) const;
    // ZEDORA.INI and PW.INI again; the per-computer values stay as they are.
    void readProgramWide(Settings& s) const;

    // ZEDORA.INI and PW.INI, only in administrator mode (otherwise nothing is
    // written and the result is true). Failures are shown to the user; the
    // result tells whether everything was written.
    bool writeProgramWide(const Settings& s, bool adminMode);
    // The per-computer file, in every user mode.
    bool writePerComputer(const Settings& s);

protected:
    // The one place a settings file reaches the disk.
    virtual ProfileFile::SaveStatus saveFile(const ProfileFile& file, const QString& path);

private:
    QString inWorkspace(const QString& name) const;
    Settings defaults() const;
    void readZedoraIni(Settings& s, const Settings& d) const;
    void readPasswords(Settings& s) const;
    void readPerComputer(Settings& s, const Settings& d) const;
    void fileWritten(const QString& path) const;

    QString workspaceDir_;
    QString computerName_;
    Interaction& ui_;
    QString programDir_;
    QSize screen_;
    std::function<void(const QString&)> written_;
};

} // namespace zedora
