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
    // No picture, and instead of the background text this message (e.g.
    // why the picture cannot be shown); cleared by the next picture.
    void showMessage(const QString& text);
    QString message() const { return message_; }
    const QImage& image() const { return image_; }
    bool hasImage() const { return !image_.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    QString emptyText_;
    QString message_;
};

} // namespace zedora
