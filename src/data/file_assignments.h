#pragma once
// The assignments kept beside every student file in <name>.INI: its layout,
// text-block file, column-layout file and the subjects taught in blocks.
// Also the name of the archive file of the half-year before a data directory.
#include <QString>
#include <array>
#include <functional>

namespace zedora {

class Interaction;

inline constexpr int kBlockSubjectSlots = 10;

struct FileAssignments {
    QString Layoutdatei;  // full path of the layout file
    QString TBSdatei;     // text-block file name in DEFINI, at most 50 characters
    QString Faecherdatei; // column-layout file name in DEFINI, at most 40 characters
    // EP01 .. EP10: upper-case field names, at most 20 characters; empty = free slot.
    std::array<QString, kBlockSubjectSlots> EP;

    bool operator==(const FileAssignments&) const = default;
};

// <name>.INI beside <name>.DBF (an existing file under any letter case).
QString assignmentsPath(const QString& studentFile);

// The assignments of a student file. Every ZUORDNUNGEN key missing from the
// file keeps the value of 'previous' (the assignments in force before), so
// a file without .INI takes over those of the file opened before it; the
// block subjects start empty.
FileAssignments readAssignments(const QString& studentFile, const QString& workspaceDir,
                                const FileAssignments& previous);

// Called with the path of every file written (the created-files register).
using FileWrittenCallback = std::function<void(const QString& path)>;

// Writes the three ZUORDNUNGEN keys; the layout relative to the workspace.
// A failure shows the write-failure box; the result tells whether it worked.
bool writeAssignments(const QString& studentFile, const QString& workspaceDir,
                      const FileAssignments& assignments, Interaction& ui,
                      const FileWrittenCallback& written = {});
// Writes EP01 .. EP10.
bool writeBlockSubjects(const QString& studentFile,
                        const std::array<QString, kBlockSubjectSlots>& subjects, Interaction& ui,
                        const FileWrittenCallback& written = {});

// From the data directory "ZE-YYZZ-H" of a student file (or the directory
// name itself): the archive file name of the half-year before, e.g.
// ZE-1920-2 -> "A19-20-1.DBF", ZE-1920-1 -> "A18-19-2.DBF". Empty when the
// directory is not named like a half-year.
QString previousArchiveName(const QString& studentFileOrDirectory);

} // namespace zedora
