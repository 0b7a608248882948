#include "print/wmf_picture.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtEndian>
#include <cmath>

namespace zedora {

namespace {

constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr int kMaxRecords = 200000;
constexpr int kMaxObjects = 1024;

enum : quint16 {
    kEof = 0x0000,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kMoveTo = 0x0214,
    kLineTo = 0x0213,
    kRectangle = 0x041B,
    kEllipse = 0x0418,
    kPolyline = 0x0325,
    kPolygon = 0x0324,
    kCreatePen = 0x02FA,
    kCreateBrush = 0x02FC,
    kSelectObject = 0x012D,
    kDeleteObject = 0x01F0,
};

quint16 u16(const char* p) { return qFromLittleEndian<quint16>(p); }
quint32 u32(const char* p) { return qFromLittleEndian<quint32>(p); }

QColor colourRef(qint16 low, qint16 high)
{
    const quint32 v = quint16(low) | (quint32(quint16(high)) << 16);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

} // namespace

bool WmfPicture::load(const QByteArray& data)
{
    records_.clear();
    frame_ = QRect();
    inch_ = 0;
    const char* p = data.constData();
    qsizetype n = data.size();
    qsizetype pos = 0;
    if (n >= 22 && u32(p) == kPlaceableKey) {
        const qint16 l = qint16(u16(p + 6)), t = qint16(u16(p + 8));
        const qint16 r = qint16(u16(p + 10)), b = qint16(u16(p + 12));
        frame_ = QRect(QPoint(std::min(l, r), std::min(t, b)),
                       QSize(std::abs(r - l), std::abs(b - t)));
        inch_ = u16(p + 14);
        pos = 22;
    }
    if (n - pos < 18)
        return false;
    const quint16 type = u16(p + pos), headerWords = u16(p + pos + 2);
    if ((type != 1 && type != 2) || headerWords != 9)
        return false;
    pos += 18;
    while (pos + 6 <= n && records_.size() < kMaxRecords) {
        const quint32 words = u32(p + pos);
        const quint16 function = u16(p + pos + 4);
        if (function == kEof || words < 3)
            break;
        const qsizetype bytes = qsizetype(words) * 2;
        if (bytes > n - pos)
            break;
        Record r;
        r.function = function;
        const int count = int((bytes - 6) / 2);
        r.params.reserve(count);
        for (int i = 0; i < count; ++i)
            r.params.append(qint16(u16(p + pos + 6 + 2 * i)));
        records_.append(std::move(r));
        pos += bytes;
    }
    return true;
}

QSize WmfPicture::pixelSize() const
{
    if (!frame_.isEmpty() && inch_ > 0)
        return QSize(int(std::lround(frame_.width() * 96.0 / inch_)),
                     int(std::lround(frame_.height() * 96.0 / inch_)));
    for (const Record& r : records_) {
        if (r.function == kSetWindowExt && r.params.size() >= 2)
            return QSize(std::abs(r.params[1]), std::abs(r.params[0]));
    }
    return frame_.size();
}

void WmfPicture::play(QPainter& painter, const QRectF& target) const
{
    QRectF window = frame_.isEmpty() ? QRectF(0, 0, 1, 1) : QRectF(frame_);
    bool windowSet = !frame_.isEmpty();

    struct Object {
        enum Kind { None, Pen, Brush, Other } kind = None;
        QPen pen;
        QBrush brush;
    };
    QVector<Object> objects;
    QPen pen(Qt::black, 0);
    QBrush brush(Qt::white);
    QPointF current;

    painter.save();
    painter.setClipRect(target, Qt::IntersectClip);
    const QTransform base = painter.transform();
    auto setMapping = [&] {
        if (window.width() == 0 || window.height() == 0)
            return;
        QTransform t;
        t.translate(target.left(), target.top());
        t.scale(target.width() / window.width(), target.height() / window.height());
        t.translate(-window.left(), -window.top());
        painter.setTransform(t * base);
    };
    setMapping();
    auto pt = [](qint16 x, qint16 y) { return QPointF(x, y); };
    auto freeSlot = [&]() -> int {
        for (int i = 0; i < objects.size(); ++i)
            if (objects[i].kind == Object::None)
                return i;
        if (objects.size() >= kMaxObjects)
            return -1;
        objects.append(Object());
        return int(objects.size() - 1);
    };

    for (const Record& r : records_) {
        const QVector<qint16>& a = r.params;
        switch (r.function) {
        case kSetWindowOrg:
            if (a.size() >= 2) {
                window.moveTopLeft(QPointF(a[1], a[0]));
                setMapping();
            }
            break;
        case kSetWindowExt:
            if (a.size() >= 2 && a[0] != 0 && a[1] != 0) {
                if (!windowSet)
                    window = QRectF(window.topLeft(), QSizeF(a[1], a[0]));
                else
                    window.setSize(QSizeF(a[1], a[0]));
                windowSet = true;
                setMapping();
            }
            break;
        case kMoveTo:
            if (a.size() >= 2)
                current = pt(a[1], a[0]);
            break;
        case kLineTo:
            if (a.size() >= 2) {
                const QPointF to = pt(a[1], a[0]);
                painter.setPen(pen);
                painter.drawLine(current, to);
                current = to;
            }
            break;
        case kRectangle:
        case kEllipse:
            if (a.size() >= 4) {
                const QRectF rect = QRectF(pt(a[3], a[2]), pt(a[1], a[0])).normalized();
                painter.setPen(pen);
                painter.setBrush(brush);
                if (r.function == kRectangle)
                    painter.drawRect(rect);
                else
                    painter.drawEllipse(rect);
            }
            break;
        case kPolyline:
        case kPolygon:
            if (!a.isEmpty()) {
                const int count = std::min<int>(a[0] < 0 ? 0 : a[0], int((a.size() - 1) / 2));
                QPolygonF poly;
                poly.reserve(count);
                for (int i = 0; i < count; ++i)
                    poly.append(pt(a[1 + 2 * i], a[2 + 2 * i]));
                painter.setPen(pen);
                if (r.function == kPolyline) {
                    painter.drawPolyline(poly);
                } else {
                    painter.setBrush(brush);
                    painter.drawPolygon(poly);
                }
            }
            break;
        case kCreatePen: {
            const int slot = freeSlot();
            if (slot < 0 || a.size() < 5)
                break;
            Object& o = objects[slot];
            o.kind = Object::Pen;
            const int style = a[0] & 0x0F;
            if (style == 5) { // PS_NULL
                o.pen = QPen(Qt::NoPen);
            } else {
                o.pen = QPen(colourRef(a[3], a[4]));
                o.pen.setWidthF(std::max<qint16>(a[1], 0));
                o.pen.setCosmetic(a[1] <= 1);
                if (style == 1) o.pen.setStyle(Qt::DashLine);
                if (style == 2) o.pen.setStyle(Qt::DotLine);
                if (style == 3) o.pen.setStyle(Qt::DashDotLine);
                if (style == 4) o.pen.setStyle(Qt::DashDotDotLine);
            }
            break;
        }
        case kCreateBrush: {
            const int slot = freeSlot();
            if (slot < 0 || a.size() < 3)
                break;
            Object& o = objects[slot];
            o.kind = Object::Brush;
            o.brush = (a[0] == 1) ? QBrush(Qt::NoBrush) : QBrush(colourRef(a[1], a[2]));
            break;
        }
        case kSelectObject:
            if (!a.isEmpty() && a[0] >= 0 && a[0] < objects.size()) {
                const Object& o = objects[a[0]];
                if (o.kind == Object::Pen)
                    pen = o.pen;
                else if (o.kind == Object::Brush)
                    brush = o.brush;
            }
            break;
        case kDeleteObject:
            if (!a.isEmpty() && a[0] >= 0 && a[0] < objects.size())
                objects[a[0]] = Object();
            break;
        default:
            // Records that create objects we do not draw still take a slot,
            // so later indexes stay right.
            if (r.function == 0x00F7 || r.function == 0x01F9 || r.function == 0x02FB
                || r.function == 0x06FF || r.function == 0x0142 || r.function == 0x01FA) {
                const int slot = freeSlot();
                if (slot >= 0)
                    objects[slot].kind = Object::Other;
            }
            break;
        }
    }
    painter.restore();
}

// ---- writer

WmfWriter::WmfWriter(int width, int height, int unitsPerInch)
    : width_(width), height_(height), inch_(unitsPerInch)
{
    record(kSetWindowOrg, {0, 0});
    record(kSetWindowExt, {qint16(height), qint16(width)});
}

void WmfWriter::record(quint16 function, const QVector<qint16>& params)
{
    const quint32 words = 3 + quint32(params.size());
    char buf[6];
    qToLittleEndian<quint32>(words, buf);
    qToLittleEndian<quint16>(function, buf + 4);
    body_.append(buf, 6);
    for (qint16 v : params) {
        char b[2];
        qToLittleEndian<qint16>(v, b);
        body_.append(b, 2);
    }
    maxRecord_ = std::max(maxRecord_, int(words));
}

void WmfWriter::replaceObject(int slot, quint16 function, const QVector<qint16>& params)
{
    // Slot 0 holds the pen, slot 1 the brush; the old object is deleted
    // first so the new one takes its slot again.
    bool& made = slot == 0 ? penMade_ : brushMade_;
    if (made)
        record(kDeleteObject, {qint16(slot)});
    else if (slot == 1 && !penMade_)
        pen(Qt::black, 1); // keep slot order: pen first
    record(function, params);
    record(kSelectObject, {qint16(slot)});
    made = true;
}

void WmfWriter::pen(const QColor& colour, int width, bool dotted)
{
    const quint32 ref = quint32(colour.red()) | (quint32(colour.green()) << 8) | (quint32(colour.blue()) << 16);
    replaceObject(0, kCreatePen, {qint16(dotted ? 2 : 0), qint16(width), 0, qint16(ref & 0xFFFF),
                                  qint16(ref >> 16)});
}

void WmfWriter::brush(const QColor& colour, bool hollow)
{
    const quint32 ref = quint32(colour.red()) | (quint32(colour.green()) << 8) | (quint32(colour.blue()) << 16);
    replaceObject(1, kCreateBrush, {qint16(hollow ? 1 : 0), qint16(ref & 0xFFFF), qint16(ref >> 16), 0});
}

void WmfWriter::line(int x1, int y1, int x2, int y2)
{
    record(kMoveTo, {qint16(y1), qint16(x1)});
    record(kLineTo, {qint16(y2), qint16(x2)});
}

void WmfWriter::rectangle(int left, int top, int right, int bottom)
{
    record(kRectangle, {qint16(bottom), qint16(right), qint16(top), qint16(left)});
}

void WmfWriter::ellipse(int left, int top, int right, int bottom)
{
    record(kEllipse, {qint16(bottom), qint16(right), qint16(top), qint16(left)});
}

void WmfWriter::polygon(const QVector<QPoint>& points)
{
    QVector<qint16> params{qint16(points.size())};
    for (const QPoint& p : points)
        params << qint16(p.x()) << qint16(p.y());
    record(kPolygon, params);
}

QByteArray WmfWriter::data() const
{
    QByteArray out;
    char b[22] = {};
    qToLittleEndian<quint32>(kPlaceableKey, b);
    qToLittleEndian<qint16>(0, b + 6);
    qToLittleEndian<qint16>(0, b + 8);
    qToLittleEndian<qint16>(qint16(width_), b + 10);
    qToLittleEndian<qint16>(qint16(height_), b + 12);
    qToLittleEndian<quint16>(quint16(inch_), b + 14);
    quint16 sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= qFromLittleEndian<quint16>(b + 2 * i);
    qToLittleEndian<quint16>(sum, b + 20);
    out.append(b, 22);

    QByteArray body = body_;
    char eof[6];
    qToLittleEndian<quint32>(3, eof);
    qToLittleEndian<quint16>(0, eof + 4);
    body.append(eof, 6);

    char h[18];
    qToLittleEndian<quint16>(1, h);
    qToLittleEndian<quint16>(9, h + 2);
    qToLittleEndian<quint16>(0x0300, h + 4);
    qToLittleEndian<quint32>(quint32(9 + body.size() / 2), h + 6);
    qToLittleEndian<quint16>(2, h + 10);
    qToLittleEndian<quint32>(quint32(std::max(maxRecord_, 3)), h + 12);
    qToLittleEndian<quint16>(0, h + 16);
    out.append(h, 18);
    out.append(body);
    return out;
}

} // namespace zedora
