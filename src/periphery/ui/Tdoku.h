#pragma once
// "Dokumenten Archiv": the workspace's document folder as a tree; a double
// click or Enter opens the chosen document with its application.
#include <QDialog>
#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace zedora {

class Interaction;
struct Settings;

class Tdoku : public QDialog {
    Q_OBJECT
public:
    // open: opens a document (the program's "open a document" operation).
    Tdoku(const QString& workspace, const Settings& settings, Interaction& ui,
          std::function<void(const QString&)> open, QWidget* parent = nullptr);

    QTreeWidget* tree() const { return tree_; }
    // The chosen document, empty when a folder (or nothing) is chosen.
    QString selectedDocument() const { return selected_; }
    QString folder() const { return folder_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill();
    void choose(QTreeWidgetItem* item);
    void openSelected();

    QString folder_;
    Interaction& ui_;
    std::function<void(const QString&)> open_;
    QTreeWidget* tree_;
    QString selected_;
};

} // namespace zedora
