#pragma once
// "Aussehen der Eingabetabelle": offered when a layout has no column
// layout, with three ways to make one.
#include <QDialog>
#include <QStringList>

namespace zedora {

class Interaction;

class TFEingabeLayout : public QDialog {
    Q_OBJECT
public:
    TFEingabeLayout(QStringList& layoutLines, QString workspaceDir, QString currentLayout,
                    Interaction& ui, QWidget* parent = nullptr);
    // Whether a button changed the lines.
    bool changed() const { return changed_; }

private:
    void run(bool changed);

    QStringList& lines_;
    QString workspace_;
    QString layout_;
    Interaction& ui_;
    bool changed_ = false;
};

} // namespace zedora
