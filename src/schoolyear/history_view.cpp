#include "schoolyear/history_view.h"

#include "base/ansi_text.h"
#include "data/student_schema.h"
#include "data/student_table.h"
#include "entry/colour_chains.h"
#include "entry/grade_abbreviations.h"
#include "print/placeholders.h"
#include "schoolyear/history_labels.h"

#include <QSet>
#include <algorithm>
#include <cstdlib>

namespace zedora {

namespace {

const QString kClassField = QStringLiteral("KLASSE");
const QString kCurrentPrefix = QStringLiteral("     ");
const QString kEarlierPrefix = QStringLiteral("   ");

bool isAverageField(const QString& field)
{
    return field == QLatin1String("D1") || field == QLatin1String("D2") || field == QLatin1String("D3");
}

int averageIndex(const QString& field)
{
    return field.at(1).digitValue() - 1;
}

// A text-block column shows its beginning, as in the entry table.
QString textPreview(const QString& text)
{
    QString shown = text.left(15);
    shown.replace(QLatin1Char('\r'), QLatin1Char(' '));
    shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (!text.trimmed().isEmpty())
        shown += QStringLiteral("...");
    return shown;
}

bool isAbsenceField(const QString& field)
{
    return field == QLatin1String("UE1") || field == QLatin1String("UE12") || field == QLatin1String("VS1")
           || field == QLatin1String("VS12");
}

// The leading digit 1..9 of a short cell, 0 for anything else.
int gradeDigit(const QString& text)
{
    return text.size() <= 2 && !text.isEmpty() && text.at(0) >= QLatin1Char('1') && text.at(0) <= QLatin1Char('9')
               ? text.at(0).digitValue()
               : 0;
}

} // namespace

std::vector<HistoryRowSpec> historyRowsOf(const ColumnDescription& columns)
{
    std::vector<HistoryRowSpec> rows{{QStringLiteral("   Klasse"), kClassField}};
    for (const HistoryRow& r : columns.historyRows)
        rows.push_back({r.label, r.field});
    return rows;
}

HistoryView::HistoryView(StudentTable& table, HistorySetup setup, const GradeAbbreviations* grades)
    : table_(table), setup_(std::move(setup)), grades_(grades)
{
    headers_ = historyHeaders(setup_.dataDirectory, setup_.previousArchive, setup_.visible);
    rows_ = historyRowsOf(setup_.columns);
    // What the rows show and what the averages are computed from.
    QSet<QString> wanted;
    for (const HistoryRowSpec& r : rows_)
        wanted.insert(r.field);
    for (const QString& list : setup_.averages.lists) {
        for (const QString& field : list.split(QLatin1Char('#'), Qt::SkipEmptyParts))
            wanted.insert(upperAscii(field.trimmed()));
    }
    for (const char* course : {"KE", "KM", "KD", "KX"})
        wanted.insert(QLatin1String(course));
    for (int c = 2; c <= halfYears(); ++c) {
        const QString label = headers_[c - 1];
        archives_.push_back(label.isEmpty()
                                ? HistoryArchive()
                                : HistoryArchive::read(archivePathOf(setup_.workspace, label), wanted,
                                                       setup_.reorganise));
    }
}

QStringList HistoryView::unreadableArchives() const
{
    QStringList out;
    for (const HistoryArchive& a : archives_) {
        if (!a.error().isEmpty())
            out << a.path() + QStringLiteral(":\n") + a.error();
    }
    return out;
}

QString HistoryView::shown(const QString& field, const QString& value) const
{
    const int kind = fieldKind(field);
    if (kind == FieldKind::AssessmentText)
        return textPreview(value);
    const QString v = value.trimmed();
    if (view_ != GradeView::Abbreviation && grades_ && !v.isEmpty()
        && (kind == FieldKind::Grade || kind == FieldKind::GradeLikeCode || kind == FieldKind::CourseLevel)
        && grades_->isDefined(upperAscii(v)))
        return grades_->meaning(v, int(view_)).trimmed();
    return v;
}

HistoryGrid HistoryView::fill(int tableRow) const
{
    HistoryGrid g;
    g.headers = headers_;
    g.rows = rows_;
    g.cells.assign(rows_.size(), QStringList());
    for (QStringList& row : g.cells) {
        for (int c = 0; c < halfYears(); ++c)
            row << QString();
    }
    if (tableRow < 0 || tableRow >= table_.rowCount())
        return g;
    const auto current = [&](const QString& name) { return table_.valueAt(tableRow, table_.findField(name)); };

    const QString id = current(QStringLiteral("ID"));
    for (int c = 2; c <= halfYears(); ++c) {
        const HistoryArchive& a = archive(c);
        const int record = a.present() ? a.find(id) : -1;
        if (record < 0)
            continue;
        const auto lookup = [&](const QString& name) { return a.value(record, name).value_or(QString()); };
        for (size_t r = 0; r < rows_.size(); ++r) {
            const QString& field = rows_[r].field;
            QString text;
            if (isAverageField(field)) {
                text = formatAverage(
                    computeAverage(setup_.averages.lists[size_t(averageIndex(field))], setup_.averages, lookup));
            } else if (const std::optional<QString> v = a.value(record, field)) {
                text = shown(field, *v);
            } else {
                g.cells[r][c - 1] = kHistoryFieldError;
                continue;
            }
            g.cells[r][c - 1] = r == 0 ? text : kEarlierPrefix + text;
        }
    }
    for (size_t r = 0; r < rows_.size(); ++r) {
        const int field = table_.findField(rows_[r].field);
        if (field < 0) {
            g.cells[r][0] = kHistoryFieldError;
            continue;
        }
        const QString text = shown(rows_[r].field, table_.valueAt(tableRow, field));
        g.cells[r][0] = r == 0 ? text : kCurrentPrefix + text;
    }
    g.studentLine = QStringLiteral("        ") + current(QStringLiteral("VORNAME")).trimmed() + QLatin1Char(' ')
                    + current(QStringLiteral("NAME")).trimmed() + QStringLiteral(",  geb. am ")
                    + formatDate(current(QStringLiteral("GEBOREN")).trimmed(), setup_.birthDateFormat)
                    + QStringLiteral(" in ") + current(QStringLiteral("GEBORT")).trimmed();
    return g;
}

ClassHistory HistoryView::classTable(const std::function<void(int done, int total)>& progress) const
{
    ClassHistory t;
    t.halfYears = halfYears();
    for (const HistoryColumn& c : setup_.columns.historyColumns) {
        t.titles << c.header;
        t.widths.push_back(c.pixelWidth);
    }
    const int total = table_.rowCount();
    const int nameField = table_.findField(QStringLiteral("NAME"));
    const int firstNameField = table_.findField(QStringLiteral("VORNAME"));
    for (int student = 0; student < total; ++student) {
        const HistoryGrid g = fill(student);
        for (int c = 1; c <= halfYears(); ++c) {
            QStringList row;
            if (c == 1)
                row << table_.valueAt(student, nameField).trimmed() + QLatin1Char(',');
            else if (c == 2)
                row << QStringLiteral("  ") + table_.valueAt(student, firstNameField).trimmed();
            else
                row << QString();
            row << g.headers[c - 1] + QLatin1Char('/') + g.cell(0, c).trimmed();
            // The single table's rows from the first after the class, one
            // column each; blanks before the values serve that table only.
            for (size_t r = 1; r < g.rows.size(); ++r)
                row << g.cell(int(r), c).trimmed();
            t.rows.push_back(row);
        }
        if (progress)
            progress(student + 1, total);
    }
    return t;
}

bool insertClassLine(ClassHistory& table, int selectedGridRow, const QString& text)
{
    const int block = table.block();
    if (block <= 0 || text.isEmpty() || table.rows.empty())
        return false;
    int offset = selectedGridRow % block;
    if (offset <= 0)
        offset = block;
    const int students = int(table.rows.size()) / block;
    QStringList line;
    line << QString() << text;
    for (int c = 0; c < table.titles.size(); ++c)
        line << QString();
    for (int s = 0; s < students; ++s) {
        // Blocks above already grew by one line each.
        const size_t at = size_t(s * (block + 1) + offset);
        table.rows.insert(table.rows.begin() + std::ptrdiff_t(std::min(at, table.rows.size())), line);
    }
    ++table.inserted;
    return true;
}

std::optional<QColor> historyCellColour(const HistoryGrid& grid, int row, int column, const HistoryColours& colours)
{
    if (row < 0 || row >= int(grid.rows.size()) || column < 1 || column > grid.headers.size())
        return std::nullopt;
    const QString text = grid.cell(row, column).trimmed();
    if (row == 0)
        return column >= 2 && text.isEmpty() ? std::optional<QColor>(kHistoryMissingClass) : std::nullopt;
    if (text.size() > 2 || isAbsenceField(grid.rows[size_t(row)].field))
        return std::nullopt;
    std::optional<QColor> colour = colours.chains ? colours.chains->colourFor(text) : std::nullopt;
    if (column < grid.headers.size()) {
        const int mine = gradeDigit(text);
        const int before = gradeDigit(grid.cell(row, column + 1).trimmed());
        if (mine > 0 && before > 0 && std::abs(mine - before) > 1)
            colour = mine > before ? colours.worse : colours.better;
    }
    return colour;
}

} // namespace zedora
