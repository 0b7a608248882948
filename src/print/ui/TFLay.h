#pragma once
// The layout editor "Layout bearbeiten": the general settings and the five
// element grids on "Drucklayout", the column layout on "Eingabelayout" and
// the file's text on "Quelltext". Load and save go through LayoutFiles; the
// preview and the printouts through hooks the installer sets.
#include "print/layout_editor_columns.h"
#include "print/layout_files.h"
#include "print/placeholders.h"

#include <QDialog>
#include <QPoint>
#include <functional>
#include <optional>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace zedora {

class Interaction;
class LayoutColumnPage;
class LayoutElementGrid;
class LayoutGeneralPage;

class TFLay : public QDialog {
public:
    enum Page { InputLayout = 0, PrintLayout = 1, SourceText = 2 };

    TFLay(LayoutFiles& files, Interaction& ui, QString activeAbbreviationFile, QStringList abbreviationFiles,
          QWidget* parent = nullptr);

    // Opens a layout as the edited one (asks about unsaved changes first).
    bool openPath(const QString& path);
    void showPage(Page page);
    // The help line "Layoutbearbeitung" (setting MitHilfe).
    void showHelpLine(bool on);

    // Column layouts kept in their own files (FDFAlt): "Eingabelayout" edits
    // that file, and its load and save buttons work on column-layout files.
    // path may be empty or missing; the layout's block is the start then.
    void useColumnFile(const QString& path);
    bool columnFileMode() const { return columnFileMode_; }
    const QString& columnFilePath() const { return columnFilePath_; }

    EditedLayout& layout() { return layout_; }
    bool changed() const { return layout_.changed || columnFileChanged_; }
    void markChanged();
    // The layout text built from the pages, as a save would write it.
    QStringList currentText();

    // The buttons, public so tests drive the window without mouse clicks.
    void load();
    bool save();
    bool saveAs();
    void print();
    void runPreview(FormMode mode);
    void insertRow();
    void duplicateRow();
    void deleteRow();
    void globalChange();
    // The closing checks; true when the editor may close.
    bool mayClose();

    // Shows the edited text in the preview; marker is the red position arrow.
    std::function<void(const QString& path, const QStringList& text, FormMode mode, std::optional<QPoint> marker)>
        preview;
    // Shows a printout of the layout's contents (false) or column layout (true).
    std::function<void(bool columnLayout, const QString& path, const QStringList& text)> printContents;
    // The window "Aussehen der Eingabetabelle" on the layout text; true when
    // it made a new column block.
    std::function<bool(QStringList& layoutLines)> appearanceDialog;

    LayoutElementGrid* elementGrid(ElementKind kind) const { return grids_[int(kind)]; }
    LayoutGeneralPage* generalPage() const { return general_; }
    LayoutColumnPage* columnPage() const { return columnPage_; }
    QTabWidget* layreg123 = nullptr;
    QTabWidget* layreg = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* hilfe = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void buildWindow();
    void refill();
    void pageChanged();
    LayoutElementGrid* currentGrid() const;
    void updateCaption();
    bool onColumnFile() const;
    void columnsEdited();
    void runAppearanceDialog();
    bool saveColumnFile();

    LayoutFiles& files_;
    Interaction& ui_;
    QString abbreviationFile_;
    QStringList abbreviationFiles_;
    EditedLayout layout_;
    LayoutGeneralPage* general_ = nullptr;
    LayoutElementGrid* grids_[kElementKinds] = {};
    LayoutColumnPage* columnPage_ = nullptr;
    ColumnLayoutFiles columnFiles_;
    bool columnFileMode_ = false;
    QString columnFilePath_;
    std::vector<EditorColumn> fileColumns_;
    bool columnFileChanged_ = false;
    QList<QPushButton*> rowButtons_;
    bool closingChecked_ = false;
};

} // namespace zedora
