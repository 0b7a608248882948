#include "print/print_centre.h"

#include "base/interaction.h"
#include "core/settings.h"
#include "print/layout_model.h"

#include <QFileInfo>

namespace zedora::PrintCentre {

namespace {
constexpr int kNameWidth = 49;
constexpr int kIdWidth = 15;
} // namespace

bool isSlot(int slot)
{
    return slot >= 1 && slot <= kLayoutSlots && slot != 13;
}

QString slotPath(const Settings& settings, int slot, const QString& currentLayout)
{
    if (slot == kCurrentLayoutSlot)
        return currentLayout;
    if (!isSlot(slot))
        return QString();
    return settings.Layout[size_t(slot)];
}

QString slotCaption(const QString& path)
{
    QString p = path.trimmed();
    p.replace(u'\\', u'/');
    return p.section(u'/', -1);
}

void setSlotPath(Settings& settings, int slot, const QString& path)
{
    if (isSlot(slot) && slot != kCurrentLayoutSlot)
        settings.Layout[size_t(slot)] = path;
}

bool isTemplatePath(const QString& path)
{
    return path.toUpper().contains(QStringLiteral("LAYOUTVORLAGEN"));
}

QString studentLine(const QString& surname, const QString& firstName, const QString& id)
{
    const QString name = (surname.trimmed() + QStringLiteral(", ") + firstName.trimmed()).left(kNameWidth);
    return name.leftJustified(kNameWidth, u' ') + id.trimmed();
}

QString idOfLine(const QString& line)
{
    return line.mid(kNameWidth, kIdWidth).trimmed();
}

StudentList studentList(PrintRecords& records)
{
    StudentList list;
    const std::uint64_t here = records.position();
    if (records.first()) {
        do {
            if (records.position() == here)
                list.current = int(list.lines.size());
            list.lines << studentLine(records.value(QStringLiteral("NAME")),
                                      records.value(QStringLiteral("VORNAME")),
                                      records.value(QStringLiteral("ID")));
        } while (records.next());
    }
    records.restore(here);
    return list;
}

std::optional<QString> checkSlot(const QString& path, Interaction& ui)
{
    if (path.trimmed().isEmpty()) {
        ui.info(QString::fromUtf8(kEmptySlot));
        return std::nullopt;
    }
    if (!QFileInfo(path.trimmed()).isFile()) {
        ui.info(QString::fromUtf8(kSlotNotFound));
        return std::nullopt;
    }
    return path.trimmed();
}

int countStudents(PrintRecords& records, const QString& code)
{
    const QString c = code.trimmed().toUpper();
    const bool restricted = restrictsGraduation(c);
    const std::uint64_t here = records.position();
    int n = 0;
    if (records.first()) {
        do {
            if (!restricted || records.value(QStringLiteral("ABSCH")).trimmed().toUpper() == c)
                ++n;
        } while (records.next());
    }
    records.restore(here);
    return n;
}

std::optional<PrintRun> prepareRun(const TDruckLayout& layout, const Choice& choice, PrintRecords& records,
                                   Interaction& ui)
{
    // The window's spin box keeps to 1-10; other callers are held to it too,
    // so a typing slip cannot send a thousand pages to the printer.
    if (choice.copies < kMinCopies || choice.copies > kMaxCopies) {
        ui.info(QString::fromUtf8(kBadCopies));
        return std::nullopt;
    }
    QStringList ids;
    bool capped = false;
    for (const QString& id : choice.selectedIds) {
        for (int k = 0; k < choice.copies; ++k) {
            if (ids.size() >= kMaxSelectionPages) {
                capped = true;
                break;
            }
            ids << id;
        }
    }
    PrintRun run = printCentreRun(layout, choice.formMode, choice.gradeFormat, choice.wholeClass, choice.code, ids);
    if (run.selection == RecordSelection::WholeClass) {
        if (countStudents(records, run.graduationCode) == 0) {
            ui.info(QStringLiteral("Keinen Schüler (Abschluss ") + run.graduationCode + QStringLiteral(") gefunden!"));
            if (restrictsGraduation(run.graduationCode))
                return std::nullopt;
        }
        return run;
    }
    if (capped)
        ui.info(QString::fromUtf8(kPageCap));
    if (run.ids.isEmpty())
        return std::nullopt;
    return run;
}

} // namespace zedora::PrintCentre
