#pragma once
// The student photo beside the history: hidden without a picture, enlarged
// in a window of its own on a double click.
#include <QLabel>

namespace zedora {

class HistoryPhoto : public QLabel {
    Q_OBJECT
public:
    explicit HistoryPhoto(QWidget* parent = nullptr);

    // Shows the picture file; an empty path or an unreadable picture hides
    // the photo.
    void showFile(const QString& path, const QString& caption);
    const QString& file() const { return file_; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QString file_;
    QString caption_;
};

} // namespace zedora
