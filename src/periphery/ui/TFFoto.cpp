#include "periphery/ui/TFFoto.h"

#include "base/interaction.h"
#include "periphery/photo_pictures.h"
#include "periphery/ui/picture_view.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace zedora {

TFFoto::TFFoto(const QString& vorname, const QString& name, const QString& photoPath, Interaction& ui,
               QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TFFoto"));
    setWindowTitle(vorname.trimmed() + QLatin1Char(' ') + name.trimmed());
    auto* layout = new QVBoxLayout(this);
    image_ = new PictureView(QStringLiteral("Kein Bild vorhanden"), this);
    image_->setObjectName(QStringLiteral("Image1"));
    image_->setMinimumSize(240, 300);
    layout->addWidget(image_, 1);
    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(QStringLiteral("BitBtn1"));
    layout->addWidget(close, 0, Qt::AlignHCenter);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    if (!photoPath.isEmpty()) {
        const PictureRead read = readPictureForView(photoPath);
        if (read.ok())
            image_->setImage(read.image);
        else
            ui.warning(read.error);
    }
}

} // namespace zedora
