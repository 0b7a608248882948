#include "print/page_renderer.h"

#include "core/settings.h"
#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "data/student_photo.h"
#include "print/placeholders.h"
#include "print/word_wrap.h"

#include <QFileInfo>
#include <cmath>

namespace zedora {

namespace {

const QString kPhotoPlaceholder = QStringLiteral("%SCHFOTO%");
constexpr int kVoidMarkCapacity = 120;

TextAlign alignOf(QChar a)
{
    if (a == u'R' || a == u'r')
        return TextAlign::Right;
    if (a == u'Z' || a == u'z')
        return TextAlign::Center;
    return TextAlign::Left;
}

QColor colourOf(int value)
{
    // Values beyond 24 bits are no colour the surface can take.
    if (value < 0 || value > 0xFFFFFF)
        return Qt::black;
    return windowsColour(value);
}

} // namespace

int patternPictureNumber(int type)
{
    if (type == 14 || type == 17)
        return 2;
    if (type == 15 || type == 18)
        return 3;
    return 1;
}

RenderOptions RenderOptions::fromSettings(const Settings& s, const QString& workspaceDir)
{
    RenderOptions o;
    o.musterart = (s.Musterart >= 1 && s.Musterart <= 18) ? s.Musterart : 13;
    o.musterfarbe = colourOf(s.Musterfarbe);
    o.entwertung = s.Entwertung.trimmed().left(kVoidMarkCapacity);
    o.tbEinzeilig = s.TBeinzeilig;
    o.streckung = s.streckungGewuenscht;
    o.musterDir = resolveIn(workspaceDir, QStringLiteral("MUSTER"));
    o.panelColour = s.firstColour;
    // "%SCHFOTO%": the photo of the record drawn, from the photo folder
    // as the settings give it when the run starts.
    o.photoPath = [folder = photoFolder(s.SibankFotoordner), male = s.Maennlich](const RecordValues& record) {
        const auto field = [&record](const char* name) {
            const QString n = QLatin1String(name);
            return record.hasField(n) ? record.value(n) : QString();
        };
        const StudentPhotoKey key{field("NAME"), field("VORNAME"), field("GEBOREN"), field("MW")};
        return studentPhotoFile(folder, photoBaseName(key, male));
    };
    return o;
}

struct PageRenderer::Pass {
    DrawSurface& s;
    PrintRecords& records;
    const PrintRun& run;
    int page = 1;
    int lnr = 1;
    int topReference = 0;
    QString voidMark;
    FontSpec font;
    TextAlign align = TextAlign::Left;
    QSet<QString> reportedWrongType;
};

PageRenderer::PageRenderer(const TDruckLayout& layout, const PrintMetrics& metrics,
                           RenderOptions options, PlaceholderContext context)
    : layout_(layout), metrics_(metrics), options_(std::move(options)), context_(context)
{
}

bool PageRenderer::visible(const Pass& p) const
{
    return options_.pageToShow <= 0 || p.page == options_.pageToShow;
}

// ---- primitives, every point shifted by the layout's corrections

void PageRenderer::setFont(Pass& p, const QString& name, int points, bool bold, bool italic)
{
    p.font.name = name.trimmed().isEmpty() ? layout_.GlobaleSchrift : name;
    p.font.height = metrics_.fontHeight(points);
    p.font.bold = bold;
    p.font.italic = italic;
    if (visible(p))
        p.s.setFont(p.font);
}

void PageRenderer::setColour(Pass& p, int value)
{
    if (visible(p))
        p.s.setTextColour(colourOf(value));
}

void PageRenderer::setAlign(Pass& p, TextAlign align)
{
    p.align = align;
    if (visible(p))
        p.s.setTextAlign(align);
}

void PageRenderer::text(Pass& p, int x, int y, const QString& textIn, int angle)
{
    if (!visible(p) || textIn.isEmpty())
        return;
    QString t = textIn;
    if (angle == 0 && options_.preview && p.run.kind >= 1 && p.run.kind <= 17
        && p.align == TextAlign::Left && options_.streckung) {
        const int own = p.s.ownTextWidth(t);
        if (own >= 0) {
            t = stretchText(t, metrics_.textWidthF(p.font, t), own,
                            [&](const QString& s) { return double(p.s.ownTextWidth(s)); });
        }
    }
    p.s.textOut(x + layout_.HoriKorrektur, y + layout_.VertiKorrektur, t, angle * 10);
}

void PageRenderer::pen(Pass& p, const QColor& colour, int width, PenStyle style)
{
    if (visible(p))
        p.s.setPen(colour, width, style);
}

void PageRenderer::line(Pass& p, int x1, int y1, int x2, int y2)
{
    if (visible(p))
        p.s.line(x1 + layout_.HoriKorrektur, y1 + layout_.VertiKorrektur,
                 x2 + layout_.HoriKorrektur, y2 + layout_.VertiKorrektur);
}

void PageRenderer::endMark(Pass& p, int x, int y)
{
    pen(p, Qt::red, 3);
    line(p, x, y, x - 5, y);
    line(p, x, y - 30, x - 5, y - 30);
    line(p, x, y - 30, x, y);
}

void PageRenderer::reset(Pass& p)
{
    setColour(p, 0);
    pen(p, Qt::black, 1);
    setAlign(p, TextAlign::Left);
    if (p.font.bold || p.font.italic) {
        p.font.bold = p.font.italic = false;
        if (visible(p))
            p.s.setFont(p.font);
    }
}

QString PageRenderer::replace(Pass& p, const QString& t)
{
    PlaceholderContext c = context_;
    c.record = &p.records;
    c.formMode = p.run.formMode;
    c.gradeFormat = p.run.gradeFormat;
    c.runningNumber = p.lnr;
    return replacePlaceholders(t, c);
}

// ---- the pass

int PageRenderer::render(DrawSurface& surface, PrintRecords& records, const PrintRun& run)
{
    Pass p{surface, records, run, 1, 1, 0, QString(), FontSpec(), TextAlign::Left, {}};
    p.voidMark = layout_.Tabellenmodus ? QString() : options_.entwertung.trimmed().left(kVoidMarkCapacity);
    const std::uint64_t start = records.position();
    const QString code = run.graduationCode.trimmed().toUpper();
    const bool restricted = restrictsGraduation(code);
    auto matches = [&] {
        return !restricted || upperAscii(records.value(QStringLiteral("ABSCH")).trimmed()) == code;
    };
    auto nextMatching = [&] {
        while (records.next())
            if (matches())
                return true;
        return false;
    };
    const bool wholeClass = run.selection == RecordSelection::WholeClass || layout_.Tabellenmodus;
    if (wholeClass) {
        bool have = records.first();
        if (have && !matches())
            have = nextMatching();
        if (!have) {
            records.restore(start);
            return 0;
        }
    } else if (run.selection == RecordSelection::Selection && run.ids.isEmpty()) {
        return 0;
    }

    int pages = 0;
    for (;;) {
        bool found = true;
        if (!wholeClass && run.selection == RecordSelection::Selection)
            found = records.findId(run.ids.value(p.page - 1));
        reset(p);
        setFont(p, layout_.GlobaleSchrift, layout_.GlobalerSchriftGrad, false, false);
        if (options_.raster)
            drawRaster(p);
        bool done = false;
        // A selected ID the file no longer holds gives an empty page rather
        // than the page of whichever student the cursor stands on.
        if (found) {
            for (int i = 1;; ++i) {
                drawRecord(p, i);
                if (!layout_.Tabellenmodus)
                    break;
                const bool full = layout_.DatenAnzahl > 0
                                      ? i >= layout_.DatenAnzahl
                                      : (layout_.Blatthoehe - p.topReference - 400)
                                            < layout_.DatenSatzVorschub * (i + 1);
                if (full)
                    break;
                if (!nextMatching()) {
                    done = true;
                    break;
                }
                ++p.lnr;
            }
        }
        reset(p);
        if (options_.preview)
            drawMarginBands(p);
        pages = p.page;

        bool more = false;
        if (run.selection == RecordSelection::Selection && !wholeClass)
            more = p.page < run.ids.size();
        else if (wholeClass && !done) {
            more = nextMatching();
            if (more)
                ++p.lnr;
        }
        if (!more)
            break;
        if (options_.pageToShow <= 0)
            surface.newPage();
        ++p.page;
    }
    records.restore(start);
    return pages;
}

void PageRenderer::drawRecord(Pass& p, int i)
{
    const int off = (i - 1) * layout_.DatenSatzVorschub;
    const bool first = i == 1;
    drawPictures(p, off);
    reset(p);
    drawGradeFields(p, off, first);
    reset(p);
    drawEntries(p, off, first);
    reset(p);
    if (p.run.formMode == FormMode::AllData || p.run.formMode == FormMode::VariableNames) {
        drawTextBlocks(p, off, first);
        reset(p);
    }
    if (options_.positionMarker && first)
        drawPositionMarker(p);
    drawLines(p, off, first);
    reset(p);
}

// ---- entries

void PageRenderer::drawEntries(Pass& p, int off, bool first)
{
    for (int nr = kEintragFirst; nr <= kEintragLast; ++nr) {
        const TLayEintrag& e = layout_.eintrag(nr);
        if (!e.Aktiv || (e.Kopf && !first))
            continue;
        setColour(p, e.Farbe);
        setFont(p, e.Schriftart, e.Grad, e.Fett, e.Kursiv);
        if (!e.Kopf && (p.topReference == 0 || e.y < p.topReference))
            p.topReference = std::max(0, e.y - 300);

        bool filled = false;
        if (e.LaengeMitFuell > 0) {
            const QString value = replace(p, e.Inhalt);
            const int w = metrics_.textWidth(p.font, value);
            const int gap = e.LaengeMitFuell - w - 10;
            if (gap > 0) {
                QString dots;
                while (dots.size() < 100 && metrics_.textWidth(p.font, dots) < gap)
                    dots.append(u'.');
                if (!dots.isEmpty()) {
                    if (e.Kopf || e.Winkel < 1) {
                        setAlign(p, TextAlign::Right);
                        text(p, e.x + e.LaengeMitFuell, e.y + off, dots);
                    }
                    filled = true;
                }
            }
        }

        QString t = applyFilter(replace(p, e.Inhalt), e.Filter);
        if (e.Breite > 0) {
            for (int n = 1; n <= t.size(); ++n) {
                if (metrics_.textWidth(p.font, t.left(n)) >= e.Breite) {
                    t = t.left(n);
                    break;
                }
            }
        }
        int x = e.x;
        TextAlign align = alignOf(e.Ausrichtung);
        if (t.startsWith(QStringLiteral("--")) && e.xe > 0) {
            x = e.xe;
            align = TextAlign::Center;
        }
        setAlign(p, align);
        if (filled)
            t.append(u' ');
        text(p, x, e.y + off, t, e.Winkel);

        if (options_.raster && align == TextAlign::Left) {
            const int w = metrics_.textWidth(p.font, t);
            if (w > 300)
                endMark(p, x + w, e.y + off);
        }
    }
}

// ---- text blocks

void PageRenderer::drawTextBlocks(Pass& p, int off, bool first)
{
    for (int nr = kTextblockFirst; nr <= kTextblockLast; ++nr) {
        const TLayTextblock& b = layout_.textblock(nr);
        if (!b.Aktiv || (b.Kopf && !first))
            continue;
        const TextAlign align = alignOf(b.Ausrichtung);
        setAlign(p, align);
        setColour(p, b.Farbe);
        setFont(p, b.Schriftart, b.Grad, b.Fett, b.Kursiv);

        QString content;
        if (upperAscii(b.Inhalt).contains(QStringLiteral("%TB"))) {
            PlaceholderContext c = context_;
            c.record = &p.records;
            c.formMode = p.run.formMode;
            c.gradeFormat = p.run.gradeFormat;
            c.runningNumber = p.lnr;
            content = fetchTextBlockColumn(b.Inhalt, c);
        } else {
            content = replace(p, b.Inhalt);
        }

        const int indent = b.EinzugZeile1;
        const int firstVoid = indent < 1 ? -1 : b.x + indent + metrics_.textWidth(p.font, p.voidMark);
        const FontSpec font = p.font;
        const QStringList lines = wrapText(content, b.Maxbreite, std::max(0, indent),
                                           [&](const QString& s) { return metrics_.textWidthF(font, s); });
        QVector<bool> used(b.Maxzeilen + 1, false);
        for (int n = 1; n <= lines.size(); ++n) {
            const QString& ln = lines[n - 1];
            if (n > b.Maxzeilen)
                break;
            const int lx = n == 1 ? b.x + std::max(0, indent) : b.x;
            const int ly = b.y + off + (n - 1) * b.Vorschub;
            text(p, lx, ly, ln);
            if (!ln.isEmpty()) {
                used[n] = true;
                if (options_.raster) {
                    const int w = metrics_.textWidth(p.font, ln);
                    const int end = align == TextAlign::Left ? lx + w
                                    : align == TextAlign::Center ? lx + w / 2 : lx;
                    endMark(p, end, ly);
                }
            }
        }

        if (b.Kopf || p.voidMark.isEmpty())
            continue;
        setAlign(p, TextAlign::Center);
        int y = b.y;
        for (int k = 1; k <= b.Maxzeilen; ++k, y += b.Vorschub) {
            if (used[k])
                continue;
            int cx = align == TextAlign::Center ? b.x : b.x + b.Maxbreite / 2;
            if (k == 1 && firstVoid >= 0)
                cx = std::max(firstVoid, b.x + b.Maxbreite / 2);
            text(p, cx, y, p.voidMark);
            if (options_.tbEinzeilig)
                break;
        }
    }
}

// ---- grade fields

void PageRenderer::drawGradeFields(Pass& p, int off, bool first)
{
    const int type = options_.preview ? 13 : options_.musterart;
    for (int nr = kNotenfeldFirst; nr <= kNotenfeldLast; ++nr) {
        const TLayNotenfeld& g = layout_.notenfeld(nr);
        if (!g.Aktiv || (g.Kopf && !first) || g.Laenge < 1 || g.Hoehe < 1)
            continue;
        drawPattern(p, type, QRect(QPoint(g.x, g.y + off - g.Hoehe), QSize(g.Laenge, g.Hoehe)));
    }
}

void PageRenderer::drawPattern(Pass& p, int type, const QRect& box)
{
    const int left = box.left(), right = box.left() + box.width();
    const int bottom = box.top() + box.height(), top = box.top();
    if (type >= 1 && type <= 6) {
        static const int spacing[3] = {6, 8, 10};
        const int s = spacing[(type - 1) % 3];
        pen(p, options_.musterfarbe, 1, type <= 3 ? PenStyle::Solid : PenStyle::Dotted);
        for (int k = 0; k < box.height() / s; ++k)
            line(p, left, bottom - k * s, right, bottom - k * s);
    } else if (type >= 7 && type <= 12) {
        const int s = type <= 8 ? 8 : type <= 10 ? 7 : 6;
        const int stroke = (type % 2 == 1) ? 3 : 2;
        pen(p, options_.musterfarbe, 1);
        for (int c = 0; left + c * s <= right; ++c) {
            const int x = left + c * s;
            const int shift = c % 2 == 0 ? s / 2 : 0;
            for (int r = 0;; ++r) {
                const int y = bottom - r * s - shift;
                if (y - stroke < top)
                    break;
                line(p, x, y, x, y - stroke);
            }
        }
    } else if (type >= 13 && type <= 18) {
        pen(p, Qt::black, 2);
        const Picture& pic = patternPicture(patternPictureNumber(type), type >= 16);
        if (!pic.isNull() && visible(p))
            p.s.drawPicture(box.translated(layout_.HoriKorrektur, layout_.VertiKorrektur), pic);
    }
}

const Picture& PageRenderer::patternPicture(int n, bool wmf)
{
    const QString name = QStringLiteral("RASTER%1.%2").arg(n).arg(wmf ? u"WMF" : u"JPG");
    return picture(resolveIn(options_.musterDir, name));
}

const Picture& PageRenderer::picture(const QString& path)
{
    auto it = pictures_.find(path);
    if (it == pictures_.end())
        it = pictures_.insert(path, Picture::load(path));
    return *it;
}

// ---- pictures

void PageRenderer::drawPictures(Pass& p, int off)
{
    for (int nr = kBildFirst; nr <= kBildLast; ++nr) {
        const TLayBild& b = layout_.bild(nr);
        if (!b.Aktiv || b.Bilddatei.trimmed().isEmpty())
            continue;
        QString path = b.Bilddatei;
        if (upperAscii(path.trimmed()) == kPhotoPlaceholder) {
            path = options_.photoPath ? options_.photoPath(p.records) : QString();
            if (path.isEmpty() || !QFileInfo(resolvePath(path)).isFile())
                continue;
        }
        const QString resolved = resolvePath(path);
        if (!QFileInfo(resolved).isFile()) {
            setColour(p, 255);
            setAlign(p, TextAlign::Left);
            text(p, b.x, b.y + off, path);
            text(p, b.x, b.y + off + 50, QStringLiteral("Grafikdatei nicht gefunden!"));
            setColour(p, 0);
            continue;
        }
        if (Picture::kindOf(resolved) == Picture::Kind::None) {
            if (visible(p) && context_.ui && !p.reportedWrongType.contains(resolved)) {
                p.reportedWrongType.insert(resolved);
                context_.ui->error(QStringLiteral("Grafikdatei ist kein WMF-, BMP- oder JPG-Format!"));
            }
            continue;
        }
        const Picture& pic = picture(resolved);
        if (pic.isNull()) {
            // A damaged file: say so on the page instead of drawing nothing.
            setColour(p, 255);
            setAlign(p, TextAlign::Left);
            text(p, b.x, b.y + off, path);
            text(p, b.x, b.y + off + 50, QStringLiteral("Grafikdatei nicht lesbar!"));
            setColour(p, 0);
            continue;
        }
        const QSize px = pic.pixelSize();
        const int w = b.x2 > b.x ? b.x2 - b.x : px.width();
        if (w <= 0 || px.width() <= 0)
            continue;
        const int h = int(std::lround(double(px.height()) * w / px.width()));
        if (visible(p))
            p.s.drawPicture(QRect(b.x + layout_.HoriKorrektur, b.y + off + layout_.VertiKorrektur, w, h), pic);
    }
}

// ---- lines

void PageRenderer::drawLines(Pass& p, int off, bool first)
{
    for (int nr = kLinieFirst; nr <= kLinieLast; ++nr) {
        const TLayLinie& l = layout_.linie(nr);
        if (!l.Aktiv || (l.Kopf && !first))
            continue;
        pen(p, colourOf(l.Farbe), std::max(1, l.Dicke));
        line(p, l.x1, l.y1 + off, l.x2, l.y2 + off);
    }
}

void PageRenderer::drawPositionMarker(Pass& p)
{
    const QPoint m = *options_.positionMarker;
    // From the lower left up to the element, with a head at its point.
    pen(p, Qt::red, 6);
    line(p, m.x() - 150, m.y() + 150, m.x(), m.y());
    line(p, m.x(), m.y(), m.x() - 50, m.y());
    line(p, m.x(), m.y(), m.x(), m.y() + 50);
    reset(p);
}

// ---- raster overlay and margin bands

void PageRenderer::drawRaster(Pass& p)
{
    const int w = options_.landscape ? 3000 : 2100;
    const int h = options_.landscape ? 2100 : 3000;
    const QColor grey(192, 192, 192);
    auto penFor = [&](int v) {
        if (v % 500 == 0)
            pen(p, Qt::blue, 3);
        else if (v % 100 == 0)
            pen(p, Qt::blue, 1);
        else
            pen(p, grey, 1);
    };
    for (int x = 0; x <= w; x += 20) {
        penFor(x);
        line(p, x, 0, x, h);
    }
    for (int y = 0; y <= h; y += 20) {
        penFor(y);
        line(p, 0, y, w, y);
    }
    const FontSpec before = p.font;
    setFont(p, QStringLiteral("ARIAL"), 6, false, false);
    setAlign(p, TextAlign::Right);
    for (int y = 100; y <= h; y += 100)
        text(p, 90, y, QString::number(y));
    setAlign(p, TextAlign::Left);
    for (int x = 100; x <= w; x += 100)
        text(p, x + 3, 100, QString::number(x));
    p.font = before;
    if (visible(p))
        p.s.setFont(p.font);
    pen(p, Qt::black, 1);
}

void PageRenderer::drawMarginBands(Pass& p)
{
    if (!visible(p))
        return;
    const int right = options_.landscape ? 3200 : 2200;
    p.s.fillRect(QRect(QPoint(-200, 0), QPoint(right - 1, 55 - 1)), options_.panelColour);
    p.s.fillRect(QRect(QPoint(-200, 3010), QPoint(right - 1, 3300 - 1)), options_.panelColour);
    if (!options_.landscape)
        p.s.fillRect(QRect(QPoint(2045, 0), QPoint(2400 - 1, 3300 - 1)), options_.panelColour);
}

} // namespace zedora
