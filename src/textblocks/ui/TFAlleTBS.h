#pragma once
// The all-blocks editor: every block as one line "ID;INHALT". It has no
// close box: it ends with "Speichern und schließen" or "Schließen ohne zu
// speichern".
#include <QDialog>
#include <functional>

class QPlainTextEdit;

namespace zedora {

class Interaction;

class TFAlleTBS : public QDialog {
    Q_OBJECT
public:
    TFAlleTBS(const QString& text, Interaction& ui, QWidget* parent = nullptr);

    QString text() const;
    // Writes the blocks; the editor closes only when this succeeds, so
    // nothing typed is lost to a failed save.
    void setSaver(std::function<bool(const QString&)> saver) { saver_ = std::move(saver); }
    QPlainTextEdit* memo() const { return memo_; }

    void HilfeClick();
    // "Speichern und schließen": asks before texts longer than a block holds are cut.
    void SaveClick();
    // "Schließen ohne zu speichern": asks when the text was changed.
    void CloseWithoutSavingClick();
    void reject() override { CloseWithoutSavingClick(); }

private:
    Interaction& ui_;
    QPlainTextEdit* memo_ = nullptr;
    bool changed_ = false;
    std::function<bool(const QString&)> saver_;
};

} // namespace zedora
