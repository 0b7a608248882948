#pragma once
// Where the photo workshop page finds the students of the open student
// file: an object the periphery's installer leaves on the main window. The
// page looks for it among its ancestors when it is first shown, so the
// dialog that holds the page needs to know nothing about it.
#include "periphery/photo_class_list.h"

#include <QObject>
#include <functional>

namespace zedora {

class PhotoStudentSource : public QObject {
    Q_OBJECT
public:
    PhotoStudentSource(std::function<QList<PhotoStudent>()> students, QObject* parent)
        : QObject(parent), students_(std::move(students))
    {
        setObjectName(QStringLiteral("photoStudentSource"));
    }
    QList<PhotoStudent> students() const { return students_ ? students_() : QList<PhotoStudent>(); }

private:
    std::function<QList<PhotoStudent>()> students_;
};

} // namespace zedora
