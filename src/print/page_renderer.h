#pragma once
// The page renderer: draws the report cards of a print run with the print
// model onto a surface, one page per student or, with a table form, several
// students per page.
#include "print/layout_model.h"
#include "print/picture.h"
#include "print/placeholders.h"
#include "print/print_job.h"
#include "print/print_metrics.h"
#include "print/print_records.h"
#include "print/surface.h"

#include <QColor>
#include <QHash>
#include <QSet>
#include <QString>
#include <functional>
#include <optional>
#include <QPoint>

namespace zedora {

struct Settings;

struct RenderOptions {
    bool preview = false;       // the picture pattern, stretching, the margin bands
    bool raster = false;        // raster overlay and end marks
    int pageToShow = 0;         // 0: every page (printing, recording)
    bool landscape = false;     // the printer's orientation
    int musterart = 13;         // grade-field pattern 1..18
    QColor musterfarbe = Qt::black;
    QString entwertung = QStringLiteral("----------"); // void mark
    bool tbEinzeilig = false;
    bool streckung = true;
    QString musterDir;          // the workspace's MUSTER folder
    QColor panelColour = QColor(0xFF, 0xAD, 0x59);
    // The layout editor's position marker: a red arrow pointing at it.
    std::optional<QPoint> positionMarker;
    // The photo file of the current record for "%SCHFOTO%"; empty: none.
    std::function<QString(const RecordValues&)> photoPath;

    static RenderOptions fromSettings(const Settings& settings, const QString& workspaceDir);
};

class PageRenderer {
public:
    // context gives the settings, the code meanings, the epochal subjects and
    // the seam; record, form mode, grade format and LNR are set per run.
    PageRenderer(const TDruckLayout& layout, const PrintMetrics& metrics, RenderOptions options,
                 PlaceholderContext context);

    // One pass over the run. Returns the number of pages it produced. The
    // records' cursor is put back where it was.
    int render(DrawSurface& surface, PrintRecords& records, const PrintRun& run);

    const RenderOptions& options() const { return options_; }
    RenderOptions& options() { return options_; }

private:
    struct Pass;

    bool visible(const Pass& p) const;
    void reset(Pass& p);
    void setFont(Pass& p, const QString& name, int points, bool bold, bool italic);
    void setColour(Pass& p, int windowsColour);
    void setAlign(Pass& p, TextAlign align);
    void text(Pass& p, int x, int y, const QString& text, int angle = 0);
    void line(Pass& p, int x1, int y1, int x2, int y2);
    void pen(Pass& p, const QColor& colour, int width, PenStyle style = PenStyle::Solid);
    void endMark(Pass& p, int x, int y);

    void drawRecord(Pass& p, int i);
    void drawPictures(Pass& p, int off);
    void drawGradeFields(Pass& p, int off, bool first);
    void drawEntries(Pass& p, int off, bool first);
    void drawTextBlocks(Pass& p, int off, bool first);
    void drawLines(Pass& p, int off, bool first);
    void drawPositionMarker(Pass& p);
    void drawPattern(Pass& p, int type, const QRect& box);
    void drawRaster(Pass& p);
    void drawMarginBands(Pass& p);

    QString replace(Pass& p, const QString& text);
    const Picture& picture(const QString& path);
    const Picture& patternPicture(int n, bool wmf);

    const TDruckLayout& layout_;
    const PrintMetrics& metrics_;
    RenderOptions options_;
    PlaceholderContext context_;
    QHash<QString, Picture> pictures_;
};

// Pattern pictures pair n (1..3) that a grade-field pattern type uses.
int patternPictureNumber(int type);

} // namespace zedora
