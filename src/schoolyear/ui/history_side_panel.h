#pragma once
// The right-hand panel of the history view: the clock, the open file's
// name, the navigation buttons, the name list, the table switch, the
// settings, refresh and close buttons and the student photo.
#include <QFrame>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace zedora {

class HistoryPhoto;

class HistorySidePanel : public QFrame {
    Q_OBJECT
public:
    explicit HistorySidePanel(QWidget* parent = nullptr);

    void setFileName(const QString& name);
    // "NAME, VORNAME" of every student in file order.
    void setNames(const QStringList& names);
    // Selects the first entry equal to the name (trimmed).
    void selectName(const QString& entry);
    // Whether the switch leads to the class table (else back to the single one).
    void setSwitchToClassTable(bool toClassTable);
    // The clock runs only while the window is shown.
    void runClock(bool on);

    QListWidget& names() { return *names_; }
    HistoryPhoto& photo() { return *photo_; }

signals:
    void firstClicked();
    void priorClicked();
    void nextClicked();
    void lastClicked();
    void nameClicked(const QString& entry);
    void fileNameClicked();
    void switchClicked();
    void settingsClicked();
    void refreshClicked();
    void closeClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tick();

    QLabel* clock_ = nullptr;
    QTimer* clockTimer_ = nullptr;
    QLineEdit* fileName_ = nullptr;
    QListWidget* names_ = nullptr;
    QPushButton* switch_ = nullptr;
    HistoryPhoto* photo_ = nullptr;
};

} // namespace zedora
