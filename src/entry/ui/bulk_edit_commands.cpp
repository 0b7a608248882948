#include "entry/ui/bulk_edit_commands.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"
#include "core/app_context.h"
#include "core/ui/admin_commands.h"
#include "core/ui/main_frame.h"
#include "core/ui/main_menu.h"
#include "data/current_student_file.h"
#include "data/file_assignments.h"
#include "data/student_schema.h"
#include "data/student_table_model.h"
#include "entry/bulk_block_list.h"
#include "entry/bulk_global_change.h"
#include "entry/bulk_record_edits.h"
#include "entry/ui/TFGlob.h"
#include "entry/ui/TfEpochal.h"
#include "print/placeholders.h"

#include <QAction>
#include <QFileInfo>
#include <QTabWidget>
#include <QTableView>
#include <QFrame>
#include <QToolButton>
#include <memory>

namespace zedora {
namespace {

// The current record for the placeholders of a global change.
class TableRecord : public RecordValues {
public:
    explicit TableRecord(const StudentTable& t) : t_(t) {}
    bool hasField(const QString& name) const override { return t_.findField(name) >= 0; }
    QString value(const QString& name) const override { return t_.value(name); }
    int fieldClass(const QString& name) const override { return std::max(0, fieldKind(name)); }

private:
    const StudentTable& t_;
};

struct CurrentColumn {
    QString field;
    QString caption;
    bool valid() const { return !field.isEmpty(); }
};

class BulkEditCommands {
public:
    explicit BulkEditCommands(MainFrame& frame) : frame_(frame) {}

    CurrentColumn column() const
    {
        const int col = frame_.entryGrid().currentIndex().column();
        const ColumnSpec* layoutColumn = frame_.entryModel().column(col);
        if (!layoutColumn)
            return {};
        return {layoutColumn->field, layoutColumn->caption};
    }
    StudentTable& table() { return frame_.studentFile().table(); }
    Interaction& ui() { return frame_.context().ui; }
    bool locked() const { return frame_.context().settings.SperreOption; }

    void globalChange(bool clearMode)
    {
        if (frame_.pages().currentIndex() == 2) {
            frame_.pages().setCurrentIndex(0);
            EditState s = frame_.studentFile().editState();
            s.masterDataEditing = false;
            frame_.studentFile().applyEditState(s);
        }
        const CurrentColumn c = column();
        if (!c.valid())
            return;
        const auto mode = globalChangeMode(table(), c.field, frame_.studentFile().editState().masterDataEditing, ui());
        frame_.takeOverInput();
        if (!mode || !table().savePending())
            return;
        if (clearMode) {
            clearColumn(table(), c.field, c.caption, false, ui());
        } else {
            GlobalChange change;
            change.mode = *mode;
            change.field = c.field;
            change.oldClass = table().value(QStringLiteral("KLASSE")).trimmed().left(5);
            TFGlob dialog(&frame_.window());
            dialog.prepare(*mode, c.caption, table().value(c.field), change.oldClass, blocks());
            if (dialog.exec() != QDialog::Accepted)
                return restoreLocks();
            change.allFields = dialog.allFields();
            change.search = dialog.search();
            change.replaceText = dialog.replaceText();
            change.newValue = newValueFromBox(dialog.boxText());
            if (ui().ask(QStringLiteral("Soll globale Änderung wirklich durchgeführt werden?\n"), Buttons::YesNoCancel)
                != Answer::Yes)
                return restoreLocks();
            BusyScope busy(ui());
            const TableRecord record(table());
            PlaceholderContext pc;
            pc.settings = &frame_.context().settings;
            pc.record = &record;
            pc.ui = &ui();
            runGlobalChange(table(), change, [&pc](const QString& text) { return replacePlaceholders(text, pc); });
        }
        restoreLocks();
    }

    // Master-data and text-block fields are read-only again afterwards.
    void restoreLocks()
    {
        EditState s = frame_.studentFile().editState();
        s.masterDataEditing = false;
        frame_.studentFile().applyEditState(s);
    }

    QStringList blocks() const
    {
        QString name = frame_.studentFile().assignments().TBSdatei.trimmed();
        if (name.isEmpty())
            return {};
        if (QFileInfo(name).suffix().isEmpty())
            name += QStringLiteral(".DBF");
        return blockChoices(resolveIn(frame_.context().workspace, QStringLiteral("DEFINI/") + name));
    }

    QStringList shownFields() const
    {
        QStringList fields;
        for (int i = 0; i < frame_.entryModel().columnCount(); ++i)
            if (const ColumnSpec* layoutColumn = frame_.entryModel().column(i))
                fields << layoutColumn->field;
        return fields;
    }

    void epochal()
    {
        frame_.takeOverInput();
        if (!table().savePending())
            return;
        QStringList entries;
        for (int i = 0; i < frame_.entryModel().columnCount(); ++i)
            if (const ColumnSpec* layoutColumn = frame_.entryModel().column(i); layoutColumn && fieldKind(layoutColumn->field) == FieldKind::Grade)
                entries << epochalEntry(layoutColumn->field, layoutColumn->caption);
        FileAssignments& fa = frame_.studentFile().assignments();
        TfEpochal dialog(frame_.studentFile().fileName(), frame_.context().settings.EpZeichen, entries,
                         QStringList(fa.EP.begin(), fa.EP.end()), &frame_.window());
        if (dialog.exec() != QDialog::Accepted)
            return;
        const QStringList chosen = dialog.chosen();
        for (int i = 0; i < int(fa.EP.size()); ++i)
            fa.EP[size_t(i)] = i < chosen.size() ? chosen[i] : QString();
        writeBlockSubjects(frame_.studentFile().path(), fa.EP, ui());
    }

    MainFrame& frame_;
    SwapStart cellStart;
    QString columnStart;
};

} // namespace

void installBulkEdits(MainFrame& frame)
{
    auto commands = std::make_shared<BulkEditCommands>(frame);
    QWidget& window = frame.window();
    const auto on = [&frame, &window](const char* name, auto handler) {
        if (QAction* a = frame.menu().action(QLatin1String(name))) {
            frame.adminCommands().setAvailable(a, true);
            QObject::connect(a, &QAction::triggered, &window, handler);
        }
    };
    on("Global", [commands] { commands->globalChange(false); });
    if (QToolButton* b = frame.iconBar().findChild<QToolButton*>(QStringLiteral("SpeedButton5"))) {
        frame.adminCommands().setAvailable(b, true);
        QObject::connect(b, &QToolButton::clicked, &window, [commands] { commands->globalChange(false); });
    }
    on("SpaLoesch1", [commands] { commands->globalChange(true); });
    on("SpaLoesch2", [commands] { commands->globalChange(true); });
    const auto emptyRecord = [commands] {
        commands->frame_.takeOverInput();
        emptyCurrentRecord(commands->table(), commands->shownFields(), commands->ui());
    };
    on("ZeiLoesch1", emptyRecord);
    on("EintrgeinZeilelschen2", emptyRecord);
    on("a1", [commands] {
        commands->frame_.takeOverInput();
        commands->cellStart = startCellSwap(commands->table(), commands->column().field);
    });
    on("uaschzielinaktuellerZelle1", [commands] {
        commands->frame_.takeOverInput();
        finishCellSwap(commands->table(), commands->cellStart, commands->column().field, commands->locked(),
                       commands->ui());
    });
    on("auschstartinaktuellerSpalte1", [commands] { commands->columnStart = commands->column().field.left(50); });
    on("auschzielinaktuellerSpalte1", [commands] {
        commands->frame_.takeOverInput();
        swapColumns(commands->table(), commands->columnStart, commands->column().field, commands->locked(),
                    commands->ui());
    });
    on("epochalSubjects", [commands] { commands->epochal(); });
}

} // namespace zedora
