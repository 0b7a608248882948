#pragma once
// A list printout as a job of the preview, and showing one from any window.
#include "print/list_job.h"
#include "print/ui/TFVorschau.h"

namespace zedora {

class WorkspaceFiles;

inline PreviewJob previewJobOf(const ListJob& list)
{
    PreviewJob job;
    job.kind = list.kind;
    job.title = list.title;
    job.landscape = list.landscape;
    job.draw = list.draw;
    return job;
}

// Shows the printout modally in a preview of its own, from which it prints.
void showListPrintout(const ListJob& job, Settings& settings, Interaction& ui, WorkspaceFiles* files,
                      QWidget* parent);

// The printer test page for the printer of the settings and the pattern
// pictures of the workspace.
ListJob printerTestFor(const Settings& settings, const QString& workspace);

} // namespace zedora
