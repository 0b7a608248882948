#pragma once
// "Gelesene Daten": the import table as read from the school server, with
// the choice to go on, to drop the read or to write a Sibank-format file.
#include <QDialog>

class QPushButton;
class QTableWidget;

namespace zedora {

class Interaction;
class ImportTable;
class WorkspaceFiles;
struct Settings;

class TFLesedatei : public QDialog {
    Q_OBJECT
public:
    struct Services {
        Interaction& ui;
        Settings& settings;
        WorkspaceFiles& files;
        QString workspace;
    };
    // fromServer: the Sibank-format button is shown; conversionMode (the
    // rollover): "Weiter" writes the comparison file first.
    TFLesedatei(const ImportTable& table, Services services, bool fromServer, bool conversionMode,
                QWidget* parent = nullptr);

private:
    void WeiterClick();
    void SibankClick();
    const ImportTable& table_;
    Services services_;
    bool conversionMode_;
    QTableWidget* grid_;
};

} // namespace zedora
