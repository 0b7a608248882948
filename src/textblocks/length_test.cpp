#include "textblocks/length_test.h"

#include "base/ansi_text.h"
#include "core/settings.h"
#include "print/placeholders.h"
#include "print/print_metrics.h"
#include "print/word_wrap.h"

#include <QFontMetricsF>

#include <climits>
#include <cmath>

namespace zedora {

namespace {

// The memo as the one field the renderer fetches.
class MemoRecord : public RecordValues {
public:
    MemoRecord(QString field, QString text) : field_(std::move(field)), text_(std::move(text)) {}
    bool hasField(const QString& name) const override { return name == field_; }
    QString value(const QString& name) const override { return name == field_ ? text_ : QString(); }
    int fieldClass(const QString&) const override { return 11; }

private:
    QString field_;
    QString text_;
};

} // namespace

std::optional<int> findLengthReference(const TDruckLayout& layout, const QString& fieldName)
{
    const QString placeholder = u'%' + upperAscii(fieldName.trimmed()) + u'%';
    std::optional<int> found;
    for (int nr = kTextblockFirst; nr <= kTextblockLast; ++nr) {
        if (upperAscii(layout.textblock(nr).Inhalt).contains(placeholder))
            found = nr;
    }
    return found;
}

LengthResult checkLength(TDruckLayout& layout, int nr, const QString& fieldName, const QString& memoText,
                         const PrintMetrics& metrics, WidthCache* cache)
{
    TLayTextblock& b = layout.textblock(nr);
    if (b.Ausrichtung == u'Z')
        b.Ausrichtung = u'L';

    const QString field = upperAscii(fieldName.trimmed());
    const MemoRecord record(field, memoText);
    static const Settings settings;
    PlaceholderContext context;
    context.settings = &settings;
    context.record = &record;
    const QString content = fetchTextBlockColumn(u'%' + field + u'%', context);

    FontSpec font;
    font.name = b.Schriftart.trimmed().isEmpty() ? layout.GlobaleSchrift : b.Schriftart;
    font.height = metrics.fontHeight(b.Grad);
    font.bold = b.Fett;
    font.italic = b.Kursiv;
    // The printer metrics' own font and scale, measured as textWidthF does.
    const QFontMetricsF measure(metrics.font(font));
    const WidthOf width = [&](const QString& s) {
        if (s.isEmpty())
            return 0.0;
        if (cache) {
            const auto known = cache->constFind(s);
            if (known != cache->constEnd())
                return *known;
        }
        const double w = measure.horizontalAdvance(s) / PrintMetrics::kTextScale;
        if (cache) {
            if (cache->size() > 50000)
                cache->clear();
            cache->insert(s, w);
        }
        return w;
    };
    // An inactive element is not wrapped: only "#" ends its lines.
    const int lineWidth = b.Aktiv ? b.Maxbreite : INT_MAX / 2;
    const QStringList lines = wrapText(content, lineWidth, b.Aktiv ? std::max(0, b.EinzugZeile1) : 0, width);

    LengthResult r;
    r.line = std::max<int>(1, int(lines.size()));
    r.maxLines = b.Maxzeilen;
    r.lastLineWidth = lines.isEmpty() ? 0 : metrics.textWidth(font, lines.last());
    if (r.line < r.maxLines) {
        r.message = QStringLiteral("Sie schreiben in der ") + QString::number(r.line)
                    + QStringLiteral(". Zeile  von insgesamt ") + QString::number(r.maxLines) + QStringLiteral(" Zeilen");
        r.background = QColor(0, 255, 0);
        r.foreground = Qt::black;
    } else if (r.line == r.maxLines) {
        const long freeCm = std::lround((b.Maxbreite - r.lastLineWidth) / 100.0);
        r.message = QStringLiteral("Sie schreiben in der letzten Zeile (") + QString::number(r.line)
                    + QStringLiteral(". Zeile);  frei sind noch ca. ") + QString::number(freeCm) + QStringLiteral(" cm");
        r.background = QColor(255, 255, 0);
        r.foreground = QColor(0, 0, 255);
    } else {
        r.message = QStringLiteral("Das Zeilenende der letzten Zeile ist überschritten!");
        r.background = QColor(255, 0, 0);
        r.foreground = Qt::white;
    }
    return r;
}

} // namespace zedora
