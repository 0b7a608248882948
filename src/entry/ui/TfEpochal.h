#pragma once
// The epochal subjects of the open student file: a check list of its grade
// columns; the first ten checked are stored with the file.
#include <QDialog>
#include <QStringList>

class QListWidget;

namespace zedora {

class TfEpochal : public QDialog {
    Q_OBJECT
public:
    // entries: "FIELD (caption)" of every grade column in column order.
    TfEpochal(const QString& fileName, const QString& marker, const QStringList& entries,
              const QStringList& epochal, QWidget* parent = nullptr);
    // The list to store (after "Speichern und schließen").
    QStringList chosen() const;

private:
    QListWidget* list_;
};

} // namespace zedora
