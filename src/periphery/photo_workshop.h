#pragma once
// The photo workshop's work on picture files: the source pictures (convert,
// turn, resize, delete) and the student photos of a class (give a picture
// to a student, copy all, delete one). Every question and message goes
// through the interaction seam.
#include <QSize>
#include <QString>
#include <QStringList>

namespace zedora {

class Interaction;
class WorkspaceFiles;

class PhotoWorkshop {
public:
    PhotoWorkshop(Interaction& ui, WorkspaceFiles& files) : ui_(ui), files_(files) {}

    // The selection confirmation of the source operations: none selected is
    // refused, one goes on without asking (deleting asks), several ask.
    bool confirm(int count, const QString& verb, bool deleting = false);

    // Each returns whether it ran (confirmed); pictures that could not be
    // read or written are named in one message at the end.
    bool convertToBitmap(const QStringList& paths);
    bool convertToJpeg(const QStringList& paths);
    bool turn(const QStringList& paths, bool clockwise);
    bool resize(const QStringList& paths);
    bool deleteSources(const QStringList& paths);
    // The size of the last picture turned or resized.
    QSize lastSize() const { return lastSize_; }

    // Copies source into the photo folder under the cell's base name with
    // the source's extension; returns the new cell, or nothing.
    QString transfer(const QStringList& selectedSources, const QString& folder, const QString& cell);
    // Copies every photo of the cells to a folder chosen by the user;
    // returns how many were copied, -1 when the user cancelled.
    int copyAll(const QString& folder, const QStringList& cells, const QString& workspace);
    // Deletes the student's photo after asking; returns the new cell (the
    // base name) or the old one when nothing was deleted.
    QString deleteStudentPhoto(const QString& folder, const QString& cell);

private:
    void reportProblems();
    bool convert(const QStringList& paths, bool toBitmap);

    Interaction& ui_;
    WorkspaceFiles& files_;
    QStringList problems_;
    QSize lastSize_;
};

} // namespace zedora
