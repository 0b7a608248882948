#pragma once
// A picture shown stretched to the widget, keeping its proportions, with a
// text on the background when there is no picture.
#include <QFrame>
#include <QImage>

namespace zedora {

class PictureView : public QFrame {
    Q_OBJECT
public:
    explicit PictureView(QString emptyText = QString(), QWidget* parent = nullptr);
    void setImage(const QImage& image);
    void clear() { setImage(QImage()); }
    const QImage& image() const { return image_; }
    bool hasImage() const { return !image_.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    QString emptyText_;
};

} // namespace zedora
