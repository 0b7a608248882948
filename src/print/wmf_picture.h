#pragma once
// Windows metafiles (.WMF): a small player for the records layout pictures
// and grade-field patterns use (pens, brushes, lines, polylines, polygons,
// rectangles, ellipses; window origin and extent), and a writer for them.
// Unknown records are skipped; a damaged file plays as far as it is sound.
#include <QByteArray>
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QVector>

class QPainter;

namespace zedora {

class WmfPicture {
public:
    // False for data that are no metafile.
    bool load(const QByteArray& data);
    bool isNull() const { return records_.isEmpty() && frame_.isEmpty(); }
    // The picture's size in screen pixels (96 per inch), as a picture
    // without x2 takes it for its width in tenths of a millimetre.
    QSize pixelSize() const;
    // Plays the records stretched into target (painter coordinates).
    void play(QPainter& painter, const QRectF& target) const;

private:
    struct Record {
        quint16 function = 0;
        QVector<qint16> params;
    };
    QVector<Record> records_;
    QRect frame_;      // from the placeable header, logical units
    int inch_ = 0;     // logical units per inch of the placeable header
};

// Writes metafiles with a placeable header; coordinates are logical units
// of a window of the given size.
class WmfWriter {
public:
    WmfWriter(int width, int height, int unitsPerInch);
    void pen(const QColor& colour, int width, bool dotted = false);
    void brush(const QColor& colour, bool hollow = false);
    void line(int x1, int y1, int x2, int y2);
    void rectangle(int left, int top, int right, int bottom);
    void ellipse(int left, int top, int right, int bottom);
    void polygon(const QVector<QPoint>& points);
    QByteArray data() const;

private:
    void record(quint16 function, const QVector<qint16>& params);
    void replaceObject(int slot, quint16 function, const QVector<qint16>& params);
    int width_, height_, inch_;
    QByteArray body_;
    int maxRecord_ = 0;
    bool penMade_ = false, brushMade_ = false;
};

} // namespace zedora
