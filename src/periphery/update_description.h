#pragma once
// update.cfg, the description of the version on the update server: its
// number, a note, the program package and up to nine further files. Each
// file may carry a SHA-256 checksum (keys Pruefsumme, Pruefsumme01..09);
// a file with one is never handed over unless it matches.
#include <QList>
#include <QString>

namespace zedora {

struct UpdateFile {
    QString name;      // relative to the server folder; '\' or '/' for sub-folders
    QString size;      // display text only
    QString sha256;    // lower-case hex, or empty
};

struct UpdateDescription {
    int version = 0;   // 0: no usable description
    QString note;
    UpdateFile program;
    QList<UpdateFile> further;  // the non-empty Quelle01..09 in order
    // Names refused because they would leave the update folder.
    QStringList refused;
};

UpdateDescription readUpdateDescription(const QString& path);

// Whether a file name from the server stays inside the folder it is
// stored in: relative, no "..", no drive letter.
bool isSafeUpdateName(const QString& name);

// Every file of the description, the program package first.
QList<UpdateFile> allFiles(const UpdateDescription& description);

} // namespace zedora
