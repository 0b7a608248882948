#include "entry/bulk_record_edits.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "data/student_schema.h"
#include "data/student_table.h"

namespace zedora {
namespace {

const QString kLocked = QStringLiteral("Nicht möglich, Tabelle ist gesperrt!\n");

} // namespace

bool emptyCurrentRecord(StudentTable& table, const QStringList& shownFields, Interaction& ui)
{
    if (table.isEmpty())
        return false;
    const Answer a = ui.ask(QStringLiteral("Sollen die Einträge der aktuelle Zeile wirklich gelöscht werden?\n"
                                           "(Löschung erfolgt NICHT Stammdaten- und Textblockfeldern!!)"),
                            Buttons::YesNoCancel);
    if (a != Answer::Yes || !table.savePending())
        return false;
    table.edit();
    for (const QString& name : shownFields) {
        const int field = table.findField(name);
        if (field < 0 || table.isReadOnly(field) || table.isMemo(field) || table.isCalculated(field))
            continue;
        const int kind = fieldKind(name);
        if (kind == FieldKind::MasterData || kind == FieldKind::AssessmentText || kind == FieldKind::Identity)
            continue;
        if (!table.value(field).isEmpty())
            table.setValue(field, QString());
    }
    return table.post();
}

SwapStart startCellSwap(const StudentTable& table, const QString& field)
{
    SwapStart start;
    start.field = field.left(50);
    const int index = table.findField(field);
    if (index >= 0 && !table.isEmpty())
        start.value = table.value(index);
    return start;
}

bool finishCellSwap(StudentTable& table, const SwapStart& start, const QString& field,
                    bool tableLocked, Interaction& ui)
{
    if (tableLocked) {
        ui.error(kLocked);
        return false;
    }
    const int from = table.findField(start.field);
    const int to = table.findField(field);
    if (!start.isSet() || from < 0 || to < 0 || table.isEmpty() || !table.savePending())
        return false;
    const QString current = table.value(to);
    table.edit();
    // Both values pass the checks; a refused one leaves the record unsaved.
    if (!table.setValue(from, current) || !table.setValue(to, start.value)) {
        table.cancel();
        return false;
    }
    return table.post();
}

bool swapColumns(StudentTable& table, const QString& startField, const QString& field,
                 bool tableLocked, Interaction& ui)
{
    if (tableLocked) {
        ui.error(kLocked);
        return false;
    }
    const int a = table.findField(startField);
    const int b = table.findField(field);
    if (a < 0 || b < 0)
        return false;
    const Answer answer = ui.ask(QStringLiteral("Soll Inhalt der Spalte ") + startField + QStringLiteral("\n\n")
                                     + QStringLiteral("getauscht werden mit Inhalt der Spalte ") + field
                                     + QStringLiteral("?\n"),
                                 Buttons::YesNoCancel);
    if (answer != Answer::Yes || !table.savePending())
        return false;
    BusyScope busy(ui);
    table.suspendViews();
    bool ok = true;
    for (int row = 0; row < table.rowCount() && ok; ++row) {
        if (!table.moveToRow(row))
            break;
        const QString va = table.value(a), vb = table.value(b);
        if (va == vb)
            continue;
        table.edit();
        if (!table.setValue(a, vb) || !table.setValue(b, va)) {
            // A refused value stops the swap; this record stays as it was.
            table.cancel();
            ok = false;
            break;
        }
        ok = table.post();
    }
    table.resumeViews();
    table.first();
    return ok;
}

QString epochalEntry(const QString& field, const QString& caption)
{
    return field + QStringLiteral(" (") + caption.trimmed() + QLatin1Char(')');
}

QStringList epochalListFromChecked(const QStringList& checkedEntries)
{
    QStringList list;
    for (const QString& entry : checkedEntries) {
        if (list.size() == 10)
            break;
        const qsizetype paren = entry.indexOf(QLatin1Char('('));
        list << upperAscii((paren < 0 ? entry : entry.left(paren)).trimmed()).left(20);
    }
    return list;
}

bool isEpochal(const QString& field, const QStringList& epochal)
{
    const QString name = upperAscii(field.trimmed());
    for (const QString& e : epochal)
        if (!e.trimmed().isEmpty() && upperAscii(e.trimmed()) == name)
            return true;
    return false;
}

} // namespace zedora
