#include "schoolyear/ui/history_photo.h"

#include <QDialog>
#include <QPixmap>
#include <QVBoxLayout>

namespace zedora {

HistoryPhoto::HistoryPhoto(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("Image1"));
    setFixedSize(150, 190);
    setAlignment(Qt::AlignCenter);
    setToolTip(QStringLiteral("Doppelklick vergrößert das Bild"));
    hide();
}

void HistoryPhoto::showFile(const QString& path, const QString& caption)
{
    const QPixmap picture = path.isEmpty() ? QPixmap() : QPixmap(path);
    file_ = picture.isNull() ? QString() : path;
    caption_ = caption;
    if (picture.isNull()) {
        clear();
        hide();
        return;
    }
    setPixmap(picture.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    show();
}

void HistoryPhoto::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPixmap picture(file_);
    if (picture.isNull())
        return QLabel::mouseDoubleClickEvent(event);
    QDialog big(this);
    big.setWindowTitle(caption_);
    auto* layout = new QVBoxLayout(&big);
    auto* label = new QLabel(&big);
    label->setPixmap(picture.scaled(QSize(450, 570), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    layout->addWidget(label);
    big.exec();
}

} // namespace zedora
