#pragma once
// The photo window: the current student's photo, or "Kein Bild vorhanden".
#include <QDialog>

namespace zedora {

class Interaction;
class PictureView;

class TFFoto : public QDialog {
    Q_OBJECT
public:
    // photoPath: empty when the student has no photo. A photo that cannot
    // be read is named in a message and the window shows no picture.
    TFFoto(const QString& vorname, const QString& name, const QString& photoPath, Interaction& ui,
           QWidget* parent = nullptr);
    const PictureView& picture() const { return *image_; }

private:
    PictureView* image_;
};

} // namespace zedora
