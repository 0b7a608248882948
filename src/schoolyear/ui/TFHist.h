#pragma once
// "Notenübersicht einzelner Schüler mit Historie": one student's entries of
// the current half-year beside the earlier half-years from the archive
// files, the class table over the same half-years, navigation, editing of
// the current half-year and the printouts.
#include "schoolyear/history_view.h"

#include <QDialog>
#include <memory>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QTimer;

namespace zedora {

class HistoryClassPage;
class HistoryPhoto;
class HistorySidePanel;
class HistorySettingsPanel;
class MainFrame;
struct HistoryPrintHeading;

class TFHist : public QDialog {
    Q_OBJECT
public:
    explicit TFHist(MainFrame& frame, QWidget* parent = nullptr);
    ~TFHist() override;

    // Builds the view for the open file and shows the window.
    void openView();
    // Builds both tables anew (the class table when next switched to).
    void rebuild();
    void fillCurrent();

    void firstStudent();
    void priorStudent();
    void nextStudent();
    void lastStudent();
    // Enter or a double click: the selected cell in a box.
    void showCell();
    // "&Inhalt bearbeiten" on the selected cell.
    void editCell();
    void switchTables();
    void showClassTable();
    void showSingleTable();
    void insertLine();
    void printSingle();
    void printAll();
    void printClassTable();

    const HistoryView* view() const { return view_.get(); }
    QTableWidget& grid() { return *grid_; }
    HistoryClassPage& classPage() { return *classPage_; }
    HistorySettingsPanel& settingsPanel() { return *settings_; }
    QListWidget& nameList();
    QLabel& studentLine() { return *studentLine_; }
    HistoryPhoto& photo();
    QMenu& popup() { return *popup_; }
    bool classTableBuilt() const { return classBuilt_; }

public slots:
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* buildSinglePage();
    void buildSingleGrid();
    void applyLooks();
    void fillNames();
    void showPhoto();
    void syncEarlierWidths(int column, int width);
    void goToName(const QString& entry);
    void storeSettings();
    HistoryPrintHeading printHeading() const;
    QString headingClass() const;

    MainFrame& frame_;
    std::unique_ptr<HistoryView> view_;
    HistoryGrid shown_;
    bool classBuilt_ = false;
    bool syncing_ = false;

    QTabWidget* pages_ = nullptr;
    QTableWidget* grid_ = nullptr;
    HistoryClassPage* classPage_ = nullptr;
    HistorySettingsPanel* settings_ = nullptr;
    QLabel* studentLine_ = nullptr;
    QButtonGroup* gradeView_ = nullptr;
    QSpinBox* printRowHeight_ = nullptr;
    QMenu* popup_ = nullptr;
    HistorySidePanel* side_ = nullptr;
};

} // namespace zedora
