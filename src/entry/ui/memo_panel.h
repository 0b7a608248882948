#pragma once
// The text field under the entry table: the assessment text of the current
// text-block column of the current student, with its toolbar (save, save and
// next, cancel, font size, panel height).
#include <QFrame>

class QLabel;
class QPlainTextEdit;
class QToolButton;

namespace zedora {

class StudentTable;
struct Settings;

class MemoPanel : public QFrame {
    Q_OBJECT
public:
    // Height of the panel while its text does not have the focus.
    static constexpr int kRestingHeight = 80;

    MemoPanel(StudentTable& table, Settings& settings, QWidget* parent = nullptr);

    // Binds the text to a text-block field and shows the panel.
    void showFor(const QString& caption, const QString& field);
    void hidePanel();
    QString field() const { return field_; }
    QPlainTextEdit& memo() { return *memo_; }
    bool textHasFocus() const;

    // Set whenever the text changes; cleared when the grid enters a column.
    bool changed() const { return changed_; }
    void clearChanged() { changed_ = false; }

    // Shows the stored (or pending) value of the bound field.
    void refresh();

signals:
    void saveRequested();                    // F8
    void saveAndNextRequested(bool refocus); // F9 (refocus) and Shift+F8
    void cancelRequested();                  // Esc
    void entered();
    void left();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* button(const char* name, const QString& text, const QString& hint);
    void textChanged();
    void focusIn();
    void focusOut();
    void setMemoFont(int points);

    StudentTable& table_;
    Settings& settings_;
    QLabel* heading_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    QFrame* toolbar_ = nullptr;
    QString field_;
    bool changed_ = false;
    bool refreshing_ = false;
};

} // namespace zedora
