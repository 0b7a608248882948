#include "exchange/transfer_columns.h"

#include "base/interaction.h"
#include "data/student_schema.h"
#include "data/student_table.h"
#include "dbase/table.h"

#include <QHash>
#include <cmath>
#include <vector>

namespace zedora {

namespace {

QString key(const QString& name, const QString& vorname)
{
    return name.trimmed() + QChar(0) + vorname.trimmed();
}

// Lifts the read-only flag of some fields for the time of a transfer.
class WritableScope {
public:
    WritableScope(StudentTable& table, const std::vector<int>& fields) : table_(table)
    {
        for (int f : fields) {
            if (f >= 0 && table.isReadOnly(f)) {
                table.setReadOnly(f, false);
                lifted_.push_back(f);
            }
        }
    }
    ~WritableScope()
    {
        for (int f : lifted_)
            table_.setReadOnly(f, true);
    }

private:
    StudentTable& table_;
    std::vector<int> lifted_;
};

} // namespace

bool isTransferableField(const QString& field)
{
    const int kind = fieldKind(field.trimmed().toUpper());
    return kind != FieldKind::MasterData && kind != FieldKind::Average && kind != FieldKind::Identity;
}

int transferColumn(StudentTable& target, const StudentTable& source, const QString& sourceField,
                   const QString& targetField, const TransferProgress& progress)
{
    return transferColumns(target, source, {{sourceField, targetField}}, progress);
}

int transferColumns(StudentTable& target, const StudentTable& source,
                    const std::vector<std::pair<QString, QString>>& columns, const TransferProgress& progress)
{
    const int sName = source.findField(QStringLiteral("NAME")), sVorname = source.findField(QStringLiteral("VORNAME"));
    const int tName = target.findField(QStringLiteral("NAME")), tVorname = target.findField(QStringLiteral("VORNAME"));
    if (sName < 0 || sVorname < 0 || tName < 0 || tVorname < 0 || !target.savePending())
        return 0;
    std::vector<std::pair<int, int>> fields;
    std::vector<int> targetFields;
    for (const auto& [from, to] : columns) {
        const int sf = source.findField(from), tf = target.findField(to);
        if (sf >= 0 && tf >= 0) {
            fields.emplace_back(sf, tf);
            targetFields.push_back(tf);
        }
    }
    if (fields.empty())
        return 0;

    // Every record of the open file by name, all matches kept.
    QHash<QString, std::vector<int>> rowsByName;
    for (int r = 0; r < target.rowCount(); ++r)
        rowsByName[key(target.valueAt(r, tName), target.valueAt(r, tVorname))].push_back(r);

    WritableScope writable(target, targetFields);
    // One flush at the end instead of one per saved record.
    struct BatchedWrites {
        dbase::Table* engine;
        ~BatchedWrites()
        {
            if (!engine)
                return;
            try {
                engine->flush();
            } catch (const std::exception&) {
            }
            engine->setWriteThrough(true);
        }
    } batched{target.engineTable()};
    if (batched.engine)
        batched.engine->setWriteThrough(false);
    target.suspendViews();
    int n = 0;
    const int total = std::max(1, target.rowCount());
    for (int s = 0; s < source.rowCount(); ++s) {
        for (int r : rowsByName.value(key(source.valueAt(s, sName), source.valueAt(s, sVorname)))) {
            if (!target.moveToRow(r))
                continue;
            target.edit();
            bool written = false;
            for (const auto& [sf, tf] : fields)
                written = target.setValue(tf, source.valueAt(s, sf)) || written;
            if (written)
                ++n;
        }
        if (progress)
            progress(int(std::lround(100.0 * (s + 1) / total)));
    }
    target.savePending();
    target.first();
    target.resumeViews();
    return n;
}

int runColumnTransfer(StudentTable& target, const StudentTable& source, const ColumnChoice& choice,
                      Interaction& ui, const TransferProgress& progress)
{
    using namespace transfer_texts;
    if (choice.tableLocked) {
        ui.warning(QString::fromUtf8(kLocked));
        return -1;
    }
    if (choice.marked.isEmpty()) {
        ui.warning(QString::fromUtf8(kNoMark));
        return -1;
    }
    if (source.findField(QStringLiteral("NAME")) < 0 || source.findField(QStringLiteral("VORNAME")) < 0) {
        ui.info(QString::fromUtf8(kNoIdentity));
        return -1;
    }
    if (choice.marked.size() == 1) {
        const QString from = choice.selectedSource.isEmpty() ? choice.marked.first() : choice.selectedSource;
        const QString to = choice.freeTarget ? choice.selectedTarget : from;
        QString text = QString::fromUtf8(kEmptyWarning) + QStringLiteral("\nÜbertrage Daten von Spalte ") + from
                     + QStringLiteral("\n\nnach Spalte ") + to;
        if (choice.freeTarget)
            text += QStringLiteral(" (") + choice.selectedTargetCaption + QStringLiteral(")");
        text += QStringLiteral("\n\nJetzt starten?\n");
        if (ui.ask(text, Buttons::YesNoCancel) != Answer::Yes)
            return -1;
        if (!isTransferableField(to) || target.findField(to) < 0) {
            ui.warning(QString::fromUtf8(kForbiddenTarget));
            return -1;
        }
        const int n = transferColumn(target, source, from, to, progress);
        ui.info(QStringLiteral("Es wurden bei ") + QString::number(n) + QStringLiteral(" Schülern Daten übertragen!"));
        return n;
    }
    if (ui.ask(QStringLiteral("Sollen Daten jetzt übertragen werden?\n\n") + QString::fromUtf8(kEmptyWarning),
               Buttons::YesNoCancel) != Answer::Yes)
        return -1;
    std::vector<std::pair<QString, QString>> columns;
    for (const QString& field : choice.marked) {
        // A marked column the open file lacks is passed over.
        if (isTransferableField(field) && target.findField(field) >= 0)
            columns.emplace_back(field, field);
    }
    const int n = transferColumns(target, source, columns, progress);
    ui.info(QStringLiteral("Es wurden für ") + QString::number(n) + QStringLiteral(" Schüler Daten übertragen!"));
    return n;
}

bool runRecordTransfer(StudentTable& target, const StudentTable& source, int sourceRow, Interaction& ui)
{
    if (sourceRow < 0 || sourceRow >= source.rowCount())
        return false;
    auto sourceValue = [&](const QString& field) {
        const int f = source.findField(field);
        return f < 0 ? QString() : source.valueAt(sourceRow, f);
    };
    const QString name = sourceValue(QStringLiteral("NAME")).trimmed();
    const QString vorname = sourceValue(QStringLiteral("VORNAME")).trimmed();
    if (ui.ask(QStringLiteral("Daten von ") + name + QStringLiteral(", ") + vorname + QStringLiteral(" übertragen?"),
               Buttons::YesNoCancel) != Answer::Yes)
        return false;
    if (!target.savePending())
        return false;

    std::vector<int> all;
    for (int f = 0; f < target.fieldCount(); ++f)
        all.push_back(f);
    WritableScope writable(target, all);
    QString klasse = target.isEmpty() ? QString() : target.value(QStringLiteral("KLASSE")).trimmed();
    if (klasse.isEmpty())
        klasse = sourceValue(QStringLiteral("KLASSE")).trimmed();

    target.append();
    if (!target.setValue(QStringLiteral("NAME"), name) || !target.setValue(QStringLiteral("VORNAME"), vorname)) {
        target.cancel();
        ui.warning(QString::fromUtf8(transfer_texts::kFailed));
        return false;
    }
    for (int f = 2; f < target.fieldCount(); ++f) {
        const QString field = target.fieldName(f);
        if (target.isCalculated(f) || source.findField(field) < 0)
            continue;
        target.setValue(f, sourceValue(field)); // a refused single field is passed over
    }
    target.setValue(QStringLiteral("KLASSE"), klasse);
    if (!target.post()) {
        target.cancel();
        ui.warning(QString::fromUtf8(transfer_texts::kFailed));
        return false;
    }
    return true;
}

} // namespace zedora
