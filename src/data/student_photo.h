#pragma once
// Which file is a student's photo: the name is made from the student's
// name, birth date and sex, so the photo folder needs no list of its own.
#include <QString>

namespace zedora {

struct StudentPhotoKey {
    QString name;     // NAME
    QString vorname;  // VORNAME
    QString geboren;  // GEBOREN, "TT.MM.JJJJ"
    QString mw;       // MW
};

// At most 20 characters: 2 of the surname, 1 of the first name, day,
// month and the sex digit ("0" male, "1" otherwise). maleLetter is the
// setting Maennlich.
QString photoBaseName(const StudentPhotoKey& key, const QString& maleLetter);

// The photo folder as the settings give it, with a trailing delimiter.
QString photoFolder(const QString& setting);

// The photo to show: folder + base + ".JPG" when it exists, else ".BMP";
// empty when the student has none. Letter case of the files is free.
QString studentPhotoFile(const QString& folder, const QString& baseName);

// The entry of the photo workshop's class list: base + ".bmp" when that
// exists, else ".jpg", else the bare base name; upper-cased.
QString classListEntry(const QString& folder, const QString& baseName);

} // namespace zedora
