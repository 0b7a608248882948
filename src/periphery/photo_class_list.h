#pragma once
// The students of the open student file as the photo workshop lists them.
#include "data/student_photo.h"

#include <QList>
#include <QString>

namespace zedora {

class StudentTable;

struct PhotoStudent {
    StudentPhotoKey key;
    QString klasse;
};

// One entry per row in the table's current order (NAME and VORNAME trimmed).
QList<PhotoStudent> photoStudents(const StudentTable& table);

} // namespace zedora
