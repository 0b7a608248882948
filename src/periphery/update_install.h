#pragma once
// What the updater does once the program has ended: install the files that
// the online update fetched into the update folder. Every file is checked
// against update.cfg first; when one is missing or does not match its
// checksum, nothing at all is installed.
#include <QString>
#include <QStringList>

namespace zedora {

struct UpdateInstallation {
    bool ok = false;
    QStringList installed;  // target paths
    QString error;          // German; empty on success
};

// The program package goes into binDir (made executable), every further
// file into programDir at its relative name. A marker nachsetup.txt in
// programDir makes the next start show the version history.
UpdateInstallation installUpdate(const QString& updateFolder, const QString& programDir, const QString& binDir);

} // namespace zedora
