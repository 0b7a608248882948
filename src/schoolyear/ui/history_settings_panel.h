#pragma once
// "Historie - Einstellungen": font size, row height and column widths of the
// history view, which apply at once, the number of half-years, which
// applies when the panel closes and the view is built again, and the photos.
#include <QFrame>

class QCheckBox;
class QFormLayout;
class QLineEdit;
class QSpinBox;

namespace zedora {

struct Settings;

class HistorySettingsPanel : public QFrame {
    Q_OBJECT
public:
    HistorySettingsPanel(Settings& settings, QWidget* parent = nullptr);

    // Shows the values of the settings.
    void load();

    QSpinBox& fontSize() { return *fontSize_; }
    QSpinBox& rowHeight() { return *rowHeight_; }
    QSpinBox& firstWidth() { return *firstWidth_; }
    QSpinBox& secondWidth() { return *secondWidth_; }
    QSpinBox& earlierWidth() { return *earlierWidth_; }
    QSpinBox& halfYears() { return *halfYears_; }
    QCheckBox& photos() { return *photos_; }

signals:
    // A value that applies at once changed (already in the settings).
    void looksChanged();
    // "Schließen": the view is to be built again.
    void closed();

private:
    QSpinBox* spin(const char* name, const QString& label, int min, int max, int Settings::*value);

    Settings& settings_;
    QSpinBox* fontSize_;
    QSpinBox* rowHeight_;
    QSpinBox* firstWidth_;
    QSpinBox* secondWidth_;
    QSpinBox* earlierWidth_;
    QSpinBox* halfYears_;
    QCheckBox* photos_;
    QLineEdit* photoFolder_;
    QFormLayout* form_;
};

} // namespace zedora
