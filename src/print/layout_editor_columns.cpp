#include "print/layout_editor_columns.h"

#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/directory_conventions.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "base/workspace_files.h"
#include "core/settings_files.h"
#include "data/column_block.h"
#include "data/student_schema.h"
#include "data/text_lines.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace zedora {

namespace {

const QString kFilter = QStringLiteral("Fächerdateien (*.fdf)");

QString columns(const QString& line, int from, int to) { return line.mid(from - 1, to - from + 1); }

QString withFdfExtension(const QString& path)
{
    const QString p = path.trimmed();
    const QString name = lastComponent(p);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return p + QStringLiteral(".FDF");
    return p.left(p.size() - (name.size() - dot)) + QStringLiteral(".FDF");
}

QString formatted(const EditorColumn& c, int widthColumns, bool withMark)
{
    QString line = c.name.leftJustified(19, QLatin1Char(' '), true) + c.caption.leftJustified(kCaptionLength, QLatin1Char(' '), true)
                   + c.width.leftJustified(widthColumns, QLatin1Char(' '), true);
    if (withMark)
        line += c.mark.left(kMarkLength);
    return line;
}

} // namespace

EditorColumn readEditorColumn(const QString& line)
{
    EditorColumn c;
    c.name = upperAscii(columns(line, 1, 18).trimmed());
    QString caption = columns(line, 20, 59);
    while (caption.endsWith(QLatin1Char(' ')))
        caption.chop(1);
    c.caption = caption;
    c.width = columns(line, 60, 69).trimmed();
    c.mark = columns(line, 70, 71).trimmed();
    c.line = line;
    return c;
}

std::vector<EditorColumn> readEditorColumns(const QStringList& columnLines)
{
    std::vector<EditorColumn> result;
    for (const QString& line : columnLines) {
        if (isColumnLine(line))
            result.push_back(readEditorColumn(line));
    }
    return result;
}

QStringList editorColumnLines(const std::vector<EditorColumn>& list)
{
    QStringList out;
    for (const EditorColumn& c : list) {
        // An untouched line keeps its exact form (other programs may read more of it).
        if (!c.line.isEmpty() && readEditorColumn(c.line) == c)
            out << c.line;
        else
            out << formatted(c, 10, true);
    }
    return out;
}

QStringList columnFileLines(const std::vector<EditorColumn>& list)
{
    QStringList out;
    for (const EditorColumn& c : list)
        out << formatted(c, kWidthDigits, false);
    return out;
}

std::vector<AvailableField> availableFields(const QStringList& allFieldLines)
{
    QHash<QString, EditorColumn> known;
    for (int i = 2; i < allFieldLines.size(); ++i) {
        if (isColumnLine(allFieldLines[i])) {
            const EditorColumn c = readEditorColumn(allFieldLines[i]);
            known.insert(c.name, c);
        }
    }
    std::vector<AvailableField> result;
    const auto add = [&](const StudentField& f) {
        AvailableField a;
        a.name = QLatin1String(f.name);
        a.dbLength = f.width;
        a.kind = f.kind;
        const auto it = known.constFind(a.name);
        a.meaning = it == known.constEnd() ? QString() : it->caption.trimmed();
        bool ok = false;
        const int width = it == known.constEnd() ? 0 : it->width.toInt(&ok);
        a.columnWidth = ok && width > 0 ? width : defaultDisplayWidth(a.name);
        result.push_back(a);
    };
    for (const StudentField& f : kStoredFields)
        add(f);
    for (const StudentField& f : kCalculatedFields)
        add(f);
    return result;
}

EditorColumn columnFor(const AvailableField& field)
{
    EditorColumn c;
    c.name = field.name;
    c.caption = cleanCaption(field.meaning.isEmpty() ? field.name : field.meaning);
    c.width = cleanWidth(QString::number(field.columnWidth));
    return c;
}

int addColumn(std::vector<EditorColumn>& list, const AvailableField& field, int at)
{
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].name == field.name)
            return int(i);
    }
    if (at < 0 || at > int(list.size()))
        at = int(list.size());
    list.insert(list.begin() + at, columnFor(field));
    return at;
}

int moveColumn(std::vector<EditorColumn>& list, int row, int delta)
{
    if (row < 0 || row >= int(list.size()))
        return row;
    const int to = std::clamp(row + delta, 0, int(list.size()) - 1);
    if (to == row)
        return row;
    EditorColumn moved = list[row];
    list.erase(list.begin() + row);
    list.insert(list.begin() + to, std::move(moved));
    return to;
}

bool removeColumn(std::vector<EditorColumn>& list, int row, Interaction& ui)
{
    if (row < 0 || row >= int(list.size()))
        return false;
    if (list.size() <= 3) {
        ui.warning(QStringLiteral("Die Eingabetabelle braucht mindestens drei Spalten!"));
        return false;
    }
    list.erase(list.begin() + row);
    return true;
}

QString cleanCaption(const QString& text)
{
    QString t = text.left(kCaptionLength);
    while (t.endsWith(QLatin1Char(' ')))
        t.chop(1);
    return t;
}

QString cleanWidth(const QString& text)
{
    QString digits;
    for (QChar ch : text) {
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
            digits += ch;
    }
    return digits.left(kWidthDigits);
}

QString cleanMark(const QString& text) { return text.trimmed().left(kMarkLength); }

// ---- column-layout files

ColumnLayoutFiles::ColumnLayoutFiles(const QString& workspaceDir, WorkspaceFiles& files, Interaction& ui)
    : workspaceDir_(workspaceDir), files_(files), ui_(ui)
{
}

QString ColumnLayoutFiles::folder() const { return resolveIn(workspaceDir_, QStringLiteral("DEFINI")); }

std::optional<std::vector<EditorColumn>> ColumnLayoutFiles::open(QString& path)
{
    const auto chosen = ui_.openFile(QStringLiteral("Tabellenlayout laden"), kFilter, folder(), QString());
    if (!chosen || chosen->trimmed().isEmpty())
        return std::nullopt;
    auto result = read(*chosen);
    if (result)
        path = resolvePath(chosen->trimmed());
    return result;
}

std::optional<std::vector<EditorColumn>> ColumnLayoutFiles::read(const QString& path)
{
    const std::optional<QStringList> lines = readTextLines(resolvePath(path.trimmed()));
    if (!lines) {
        ui_.error(QStringLiteral("Datei nicht gefunden!\n") + toWindowsSeparators(path));
        return std::nullopt;
    }
    return readEditorColumns(*lines);
}

bool ColumnLayoutFiles::save(const QString& path, const std::vector<EditorColumn>& list)
{
    if (!writeTextLines(path, columnFileLines(list))) {
        ui_.error(writeFailureText(QDir::toNativeSeparators(path)));
        return false;
    }
    files_.createdFiles().registerFile(path);
    return true;
}

bool ColumnLayoutFiles::saveAs(QString& path, const std::vector<EditorColumn>& list)
{
    const auto chosen = ui_.saveFile(QStringLiteral("Tabellenlayout speichern unter"), kFilter, folder(),
                                     lastComponent(path));
    if (!chosen || chosen->trimmed().isEmpty())
        return false;
    const QString target = resolvePath(withFdfExtension(*chosen));
    if (QFileInfo::exists(target)
        && ui_.ask(QStringLiteral("Datei ist bereits vorhanden!\nSoll sie überschrieben werden?\n"),
                   Buttons::YesNoCancel)
               != Answer::Yes)
        return false;
    // Column-layout files share DEFINI with the text-block files.
    if (!checkDirectoryConvention(target, FileKind::TextBlocks, ui_))
        return false;
    files_.createDirectory(QFileInfo(target).absolutePath());
    if (!save(target, list))
        return false;
    path = target;
    return true;
}

} // namespace zedora
