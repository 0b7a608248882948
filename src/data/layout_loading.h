#pragma once
// Loading a layout for the open student file: the layout text with its
// column block (repaired or completed when needed), the grade-abbreviation
// file it names and the column description for the entry table.
#include "data/column_layout.h"
#include "data/file_assignments.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace zedora {

class Interaction;
struct Settings;

struct LoadedLayout {
    QString path;              // the layout in use; becomes LetztesLayout
    QStringList lines;         // the layout text, block included
    QString abbreviationFile;  // named by the layout, else KUERZEL.TXT
    ColumnDescription columns;
    // The block in memory came from the column-layout file (FDFAlt).
    bool blockFromColumnFile = false;
    // The layout file was written during the load.
    bool saved = false;
    // False for a layout that exists but could not be read: never written over.
    bool writable = true;
};

struct LayoutLoadContext {
    QString workspaceDir;
    bool fdfAlt = false;          // FDFAlt
    bool nameGridVisible = true;  // Grid2Sichtbar
    QString faecherdatei;         // the student file's column-layout file
    QStringList fileFields;       // fields of the open student file
    FileWrittenCallback written;  // the created-files register
    // The window "Aussehen der Eingabetabelle" for a layout without block.
    // It may change the lines; returns true when it did.
    std::function<bool(LoadedLayout&)> chooseBlock;

    // FDFAlt and Grid2Sichtbar from the settings.
    static LayoutLoadContext fromSettings(const Settings& settings, const QString& workspaceDir,
                                          const QString& faecherdatei);
};

// Missing files and files that are no .LAY give the workspace's demo layout.
LoadedLayout loadLayout(const QString& path, const LayoutLoadContext& context, Interaction& ui);

// Builds the columns again from the lines in memory; an unknown field
// replaces the block by the default block (the layout file is saved unless
// the block came from a column-layout file).
void applyColumnLayout(LoadedLayout& layout, const LayoutLoadContext& context, Interaction& ui);

// Writes the layout text; shows the write-failure box when it cannot.
bool saveLayout(const QString& path, const QStringList& lines, const FileWrittenCallback& written,
                Interaction& ui);

} // namespace zedora
