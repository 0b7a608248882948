#pragma once
// The layout editor's file operations: open (templates are copied to
// LAYOUT\Testen first), save, save as, and the demo layout used when the
// current layout is missing. Messages go through the interaction seam.
#include "print/layout_editor_io.h"

#include <QString>
#include <QStringList>

namespace zedora {

class Interaction;
class WorkspaceFiles;

// The layout being edited.
struct EditedLayout {
    QString path;            // the file the editor saves to
    QStringList text;        // the current layout text
    LayoutEditorData data;   // the editor's grids
    bool changed = false;
};

class LayoutFiles {
public:
    LayoutFiles(const QString& workspaceDir, WorkspaceFiles& files, Interaction& ui);

    // The file dialog, then openPath(). False when nothing was opened.
    bool open(EditedLayout& layout, const QString& activeAbbreviationFile);
    // Opens a chosen path: refuses drive A:, copies templates, offers to save
    // unsaved changes, reads the file into the layout.
    bool openPath(EditedLayout& layout, const QString& path, const QString& activeAbbreviationFile);

    // Builds the layout text from the grids and writes it to layout.path.
    bool save(EditedLayout& layout);
    // The save dialog, then saveAsPath().
    bool saveAs(EditedLayout& layout);
    bool saveAsPath(EditedLayout& layout, const QString& path);

    // The current layout, or LAYOUT\DEMO.LAY when it does not exist (copied
    // from MUSTER\DEMOLAY.MST first when that is missing too).
    QString layoutToEdit(const QString& currentLayout);

    QString layoutFolder() const;
    const QString& workspaceDir() const { return workspaceDir_; }
    WorkspaceFiles& workspaceFiles() { return files_; }

private:
    QString startFolder(const EditedLayout& layout) const;
    bool writeText(EditedLayout& layout);

    QString workspaceDir_;
    WorkspaceFiles& files_;
    Interaction& ui_;
};

} // namespace zedora
