#pragma once
// The page "Eingabe in Maske": the current student alone, in the boxes the
// column layout assigns (absences, head grades, up to 24 grades, the
// averages, the graduation code, courses, free texts and up to 12 texts).
#include <QWidget>
#include <vector>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QVBoxLayout;

namespace zedora {

class StudentTable;
struct ColumnDescription;
struct Settings;

class MaskPageView : public QWidget {
    Q_OBJECT
public:
    MaskPageView(StudentTable& table, const Settings& settings, QWidget* parent = nullptr);

    // Lays the boxes out again for a newly loaded column layout.
    void rebuild(const ColumnDescription& columns, const QStringList& graduationCodes);
    // Shows the current record's values.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Binding {
        QWidget* widget;
        QString field;
        QLabel* hint = nullptr;  // the key hint above a text while it has the focus
    };
    QWidget* lineBox(const QString& name, const QString& field, int maxLength, bool readOnly = false);
    QPlainTextEdit* textBox(const QString& name, const QString& field);
    void store(const QString& field, const QString& value);
    void keys(QWidget* w);
    void showColour(QLineEdit* box, const QString& field, bool focused);
    void textFocus(QPlainTextEdit* text, bool focused);

    StudentTable& table_;
    const Settings& settings_;
    std::vector<Binding> bindings_;
    QWidget* content_ = nullptr;
    bool refreshing_ = false;
    bool storing_ = false;
};

} // namespace zedora
