#pragma once
// The column layout as the layout editor shows it: the fields the student
// file offers and the columns the entry table shows, with the edits of the
// arrow buttons between them. Layouts keep the lines with name (19),
// caption (40), width (10) and exemption mark; column-layout files hold
// name, caption and a width of 3 characters only, so they carry no marks.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace zedora {

class Interaction;
class WorkspaceFiles;

// One column of the entry table.
struct EditorColumn {
    QString name;    // field name, upper case, at most 18 characters
    QString caption; // at most 40 characters, blanks at the end dropped
    QString width;   // display width in characters, digits only
    QString mark;    // non-blank: the field is typed without abbreviation check
    // The line it was read from; written back unchanged while the column is.
    QString line;

    bool operator==(const EditorColumn& o) const
    {
        return name == o.name && caption == o.caption && width == o.width && mark == o.mark;
    }
};

inline constexpr int kCaptionLength = 40;
inline constexpr int kMarkLength = 2;
inline constexpr int kWidthDigits = 3;

// A field of the student file with its usual caption and width.
struct AvailableField {
    QString name;
    QString meaning;     // caption from MUSTER\FACH-ALL.MST, else empty
    int dbLength = 0;    // bytes in the record (memo 10, averages 10)
    int kind = -1;
    int columnWidth = 0; // the width a new column of it gets
};

std::vector<EditorColumn> readEditorColumns(const QStringList& columnLines);
EditorColumn readEditorColumn(const QString& line);
// Block lines for the layout (every part written out).
QStringList editorColumnLines(const std::vector<EditorColumn>& columns);
// Lines of a column-layout file.
QStringList columnFileLines(const std::vector<EditorColumn>& columns);

// Every field the student file has, stored and calculated, in field order.
// allFieldLines are the lines of MUSTER\FACH-ALL.MST (from the third on).
std::vector<AvailableField> availableFields(const QStringList& allFieldLines);
EditorColumn columnFor(const AvailableField& field);

// Puts a column for the field before row `at` (at the end when out of
// range). A field shows once only: returns its row, the existing one when
// it is there already.
int addColumn(std::vector<EditorColumn>& columns, const AvailableField& field, int at);
// Moves a row by delta within the list; returns where it is now.
int moveColumn(std::vector<EditorColumn>& columns, int row, int delta);
// The entry table needs at least three columns (else it shows the default
// ones): false with a message when removing would go below that.
bool removeColumn(std::vector<EditorColumn>& columns, int row, Interaction& ui);

// Cell edits: the caption cut to 40, the width to digits (3 at most), the
// mark to 2 characters.
QString cleanCaption(const QString& text);
QString cleanWidth(const QString& text);
QString cleanMark(const QString& text);

// Column-layout files in the workspace's DEFINI folder, used instead of the
// layout's own block when the setting FDFAlt is on.
class ColumnLayoutFiles {
public:
    ColumnLayoutFiles(const QString& workspaceDir, WorkspaceFiles& files, Interaction& ui);

    QString folder() const;
    // The file dialog; the chosen file's columns. Nothing when cancelled or
    // unreadable (with a message).
    std::optional<std::vector<EditorColumn>> open(QString& path);
    std::optional<std::vector<EditorColumn>> read(const QString& path);
    // Writes the columns safely; false (the old file untouched) on failure.
    bool save(const QString& path, const std::vector<EditorColumn>& columns);
    // The save dialog, asks before overwriting; sets path when written.
    bool saveAs(QString& path, const std::vector<EditorColumn>& columns);

private:
    QString workspaceDir_;
    WorkspaceFiles& files_;
    Interaction& ui_;
};

} // namespace zedora
