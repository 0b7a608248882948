#include "entry/bulk_global_change.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "data/student_schema.h"
#include "data/student_table.h"
#include "dbase/table.h"

#include <algorithm>
#include <vector>

namespace zedora {
namespace {

bool running = false;

class RunningFlag {
public:
    RunningFlag() { running = true; }
    ~RunningFlag() { running = false; }
};

QString comparable(const QString& text) { return upperAscii(text.trimmed()); }

// The text with its last line extended by value, as the memo under the
// table would have done it.
QString appendToLastLine(const QString& text, const QString& value)
{
    const qsizetype nl = text.lastIndexOf(QLatin1Char('\n'));
    const QString head = nl < 0 ? QString() : text.left(nl + 1);
    QString last = nl < 0 ? text : text.mid(nl + 1);
    if (last.endsWith(QLatin1Char('\r')))
        last.chop(1);
    return head + (last + QLatin1Char(' ') + value).trimmed().trimmed();
}

// The bookmarks of the records in the current order (and filter).
std::vector<StudentTable::Bookmark> bookmarks(StudentTable& table)
{
    std::vector<StudentTable::Bookmark> marks;
    marks.reserve(size_t(table.rowCount()));
    for (int row = 0; row < table.rowCount(); ++row)
        if (table.moveToRow(row))
            marks.push_back(table.bookmark());
    return marks;
}

// The value a record gets, or nothing when it keeps its own.
std::optional<QString> newValueFor(const GlobalChange& change, const QString& old, const QString& value,
                                   const QString& search, const QString& oldClass)
{
    switch (change.mode) {
    case GlobalChangeMode::Class:
        if (comparable(old) == oldClass)
            return change.newValue;
        return std::nullopt;
    case GlobalChangeMode::TextBlock:
        return change.replaceText ? value : appendToLastLine(old, value);
    case GlobalChangeMode::Plain:
        if (change.allFields || comparable(old) == search)
            return value;
        return std::nullopt;
    }
    return std::nullopt;
}

// A value without placeholders is the same for every record: it is checked
// once, and the records are written straight through the engine with one
// flush at the end instead of a full save of each record.
bool writeDirectly(StudentTable& table, int index, const GlobalChange& change, GlobalChangeResult& result)
{
    dbase::Table* engine = table.engineTable();
    const bool memo = table.isMemo(index);
    const QString search = comparable(change.search);
    const QString oldClass = comparable(change.oldClass);
    std::vector<std::pair<uint32_t, QString>> writes;
    engine->selectTag({});
    for (engine->first(); !engine->eof() && !engine->isEmpty(); engine->next()) {
        const QString old = memo ? fromAnsi(engine->memo(index)) : fromAnsi(engine->textView(index));
        const auto value = newValueFor(change, old, change.newValue, search, oldClass);
        if (value && *value != old)
            writes.emplace_back(engine->recno(), *value);
    }
    if (writes.empty())
        return true;
    // The field's check decides once; a refused value changes no record.
    table.refresh();
    if (table.isEmpty())
        return false;
    table.edit();
    const bool accepted = table.setValue(index, writes.front().second);
    const QString checked = table.value(index);
    table.cancel();
    if (!accepted) {
        result.stoppedByCheck = true;
        return true;
    }
    engine->setWriteThrough(false);
    try {
        for (auto& [recno, value] : writes) {
            if (change.mode != GlobalChangeMode::TextBlock || change.replaceText)
                value = checked;
            engine->gotoRecord(recno);
            engine->edit();
            if (memo)
                engine->setMemo(index, toAnsiStd(value));
            else
                engine->setText(index, toAnsiStd(value));
            engine->post();
            ++result.changed;
        }
    } catch (const std::exception&) {
        // A failing engine ends the run; what was written stays.
        try {
            engine->cancel();
        } catch (const std::exception&) {
        }
    }
    engine->flush();
    engine->setWriteThrough(true);
    return true;
}

} // namespace

bool globalChangeRunning() { return running; }

std::optional<GlobalChangeMode> globalChangeMode(const StudentTable& table, const QString& field,
                                                 bool masterDataEditing, Interaction& ui)
{
    if (masterDataEditing) {
        ui.error(QStringLiteral("Stammdaten können nicht global gelöscht werden!"));
        return std::nullopt;
    }
    const int index = table.findField(field);
    const int kind = fieldKind(field);
    if (index < 0)
        return std::nullopt;
    if (kind == FieldKind::AssessmentText)
        return GlobalChangeMode::TextBlock;
    if (upperAscii(field) == QLatin1String("KLASSE"))
        return GlobalChangeMode::Class;
    // Averages are read-only too; they get their own message.
    if (kind == FieldKind::Average) {
        ui.error(QStringLiteral("Dieses Feld wird von Zedora berechnet!"));
        return std::nullopt;
    }
    if (table.isReadOnly(index) || kind == FieldKind::MasterData || kind == FieldKind::Identity) {
        ui.error(QStringLiteral("In dieser Spalte ist eine globale Änderung nicht möglich!\n"
                                "(Spalte gesperrt bzw. Stammdatenspalte)"));
        return std::nullopt;
    }
    return GlobalChangeMode::Plain;
}

QString newValueFromBox(const QString& boxText)
{
    const QString value = boxText.trimmed();
    if (value.size() >= 5 && value.at(4) == QLatin1Char('>'))
        return value.mid(5).trimmed();
    return value;
}

GlobalChangeResult runGlobalChange(StudentTable& table, const GlobalChange& change,
                                   const PlaceholderReplacer& replace)
{
    GlobalChangeResult result;
    const int index = table.findField(change.field);
    if (index < 0 || !table.savePending())
        return result;

    const QString filterField = table.filterFieldName();
    const QString filterText = table.filterText();
    const bool wasFiltered = table.filtered();
    const QString oldTag = table.tag();
    const StudentTable::Bookmark current = table.isEmpty() ? 0 : table.bookmark();
    const bool wasReadOnly = table.isReadOnly(index);

    // Only the records the filter lets through get the text; the filter is
    // lifted for the run and set again afterwards.
    std::vector<StudentTable::Bookmark> chosen;
    const bool onlyChosen = change.mode == GlobalChangeMode::TextBlock && wasFiltered;
    if (onlyChosen) {
        chosen = bookmarks(table);
        table.clearFilter();
    }
    if (change.mode == GlobalChangeMode::Class)
        table.setTag(QStringLiteral("NAME"));
    if (change.mode != GlobalChangeMode::Plain)
        table.setReadOnly(index, false);

    {
        RunningFlag flag;
        table.suspendViews();
        const QString search = comparable(change.search);
        const QString oldClass = comparable(change.oldClass);
        const bool samePerRecord = !replace || !change.newValue.contains(QLatin1Char('%'));
        // A filter or a single student shown limits the run to what is shown.
        const bool direct = samePerRecord && !onlyChosen && !table.filtered() && !table.restricted() && table.engineTable()
                            && writeDirectly(table, index, change, result);
        // Bookmarks, not rows: a new class moves records within the order.
        const std::vector<StudentTable::Bookmark> all = direct ? std::vector<StudentTable::Bookmark>{}
                                                               : bookmarks(table);
        try {
            for (const StudentTable::Bookmark mark : all) {
                if (onlyChosen && std::find(chosen.begin(), chosen.end(), mark) == chosen.end())
                    continue;
                if (!table.gotoBookmark(mark))
                    break;
                const QString old = table.value(index);
                std::optional<QString> value;
                switch (change.mode) {
                case GlobalChangeMode::Class:
                    if (comparable(old) == oldClass)
                        value = change.newValue;
                    break;
                case GlobalChangeMode::TextBlock: {
                    const QString text = replace ? replace(change.newValue) : change.newValue;
                    value = change.replaceText ? text : appendToLastLine(old, text);
                    break;
                }
                case GlobalChangeMode::Plain:
                    if (change.allFields || comparable(old) == search)
                        value = replace ? replace(change.newValue) : change.newValue;
                    break;
                }
                if (!value || *value == old)
                    continue;
                table.edit();
                const bool accepted = table.setValue(index, *value);
                if (!table.post()) {
                    table.cancel();
                    break;
                }
                if (!accepted) {
                    result.stoppedByCheck = true;
                    break;
                }
                ++result.changed;
            }
        } catch (const std::exception&) {
            // A failing engine ends the run; what was written stays.
            if (table.isEditing())
                table.cancel();
        }
        if (direct)
            table.refresh();
        table.resumeViews();
    }

    table.setReadOnly(index, wasReadOnly);
    if (change.mode == GlobalChangeMode::Class)
        table.setTag(oldTag);
    if (onlyChosen)
        table.setFilter(filterField, filterText);
    if (current == 0 || !table.gotoBookmark(current))
        table.first();
    return result;
}

bool clearColumn(StudentTable& table, const QString& field, const QString& caption, bool silent,
                 Interaction& ui)
{
    if (!silent) {
        const Answer a = ui.ask(QStringLiteral("Soll Inhalt der Spalte ") + caption.trimmed()
                                    + QStringLiteral(" wirklich gelöscht werden?"),
                                Buttons::YesNoCancel);
        if (a != Answer::Yes)
            return false;
    }
    GlobalChange change;
    change.field = field;
    change.mode = fieldKind(field) == FieldKind::AssessmentText ? GlobalChangeMode::TextBlock
                                                                 : GlobalChangeMode::Plain;
    change.allFields = true;
    change.replaceText = true;
    BusyScope busy(ui);
    runGlobalChange(table, change);
    return true;
}

} // namespace zedora
