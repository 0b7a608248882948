#pragma once
// The printer test page: the length check of the sample sentence, a
// triangle through text, the 18 grade-field patterns, rotated text, line
// widths and the two test pictures of the workspace.
#include "print/list_job.h"

#include <QColor>

namespace zedora {

struct PrinterTestInput {
    QString printerName;
    QString musterDir;            // the workspace's MUSTER folder
    QColor patternColour = Qt::black;
};

int drawPrinterTestPage(DrawSurface& surface, const PrintMetrics& metrics, const PrinterTestInput& input);

ListJob printerTestJob(const PrinterTestInput& input);

// A grade-field pattern (types 1-18) into the box, as the report cards draw it.
void drawGradePattern(DrawSurface& surface, int type, const QRect& box, const QColor& colour,
                      const QString& musterDir);

} // namespace zedora
