#pragma once
// A list printout as a job of the preview.
#include "print/list_job.h"
#include "print/ui/TFVorschau.h"

namespace zedora {

inline PreviewJob previewJobOf(const ListJob& list)
{
    PreviewJob job;
    job.kind = list.kind;
    job.title = list.title;
    job.landscape = list.landscape;
    job.draw = list.draw;
    return job;
}

} // namespace zedora
