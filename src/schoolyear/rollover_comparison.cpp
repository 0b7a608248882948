#include "schoolyear/rollover_comparison.h"

#include "base/ansi_text.h"
#include "dbase/table.h"
#include "schoolyear/code_lists.h"

#include <QDate>
#include <vector>

namespace zedora {
namespace {

const char* const kRequired[] = {"NAME", "VORNAME", "KLASSE", "GEBOREN", "GEB_ORT", "GESCHLECHT", "STAAT",
                                 "AG1", "AG2", "AG3", "FOERDER1", "FOERDER2", "L_KU_MA_FA", "L_KU_EN_FA",
                                 "WPK1_FACH", "WPK2_FACH", "WPK3_FACH", "WPK4_FACH"};

QString text(const dbase::Table& t, const char* field)
{
    const int f = t.findField(field);
    return f < 0 ? QString() : fromAnsi(t.text(f));
}

void put(dbase::Table& t, const char* field, const QString& value)
{
    t.setText(field, toAnsiStd(value));
}

std::optional<QDate> dateOf(const dbase::Table& t, const char* field)
{
    const int f = t.findField(field);
    if (f < 0)
        return std::nullopt;
    const dbase::Value v = t.value(f);
    if (const auto* d = std::get_if<dbase::Date>(&v)) {
        const QDate q(d->year, d->month, d->day);
        if (q.isValid())
            return q;
    }
    const QDate parsed = QDate::fromString(fromAnsi(t.text(f)).trimmed(), QStringLiteral("d.M.yyyy"));
    return parsed.isValid() ? std::optional<QDate>(parsed) : std::nullopt;
}

// A student who has left: the leaving date lies before now. An empty or
// unreadable date counts as far in the future.
bool hasLeft(const dbase::Table& t, const QDateTime& now)
{
    QDate leaving = dateOf(t, "ABGANG_DAT").value_or(QDate());
    if (!leaving.isValid() || leaving.year() < 1960)
        leaving = QDate(2060, 1, 1);
    return now > QDateTime(leaving, QTime(0, 0));
}

// Names are compared as far as the student file keeps them, so a name
// longer than the field still finds its student.
QString nameKey(const QString& name, int width)
{
    return upperAscii(name.trimmed()).left(std::min(40, width)).trimmed();
}

struct Student {
    uint32_t recno;
    QString name, vorname;
    bool matched = false;
};

void takeGroups(dbase::Table& file, const dbase::Table& source, const ComparisonOptions& o, bool groups,
                bool electives)
{
    if (groups) {
        put(file, "AG1", longNameOf(text(source, "AG1"), o.workingGroups));
        put(file, "AG2", longNameOf(text(source, "AG2"), o.workingGroups));
        put(file, "AG3", longNameOf(text(source, "AG3"), o.workingGroups));
    }
    put(file, "FOE1", text(source, "FOERDER1"));
    put(file, "FOE2", text(source, "FOERDER2"));
    put(file, "KM", text(source, "L_KU_MA_FA"));
    put(file, "KE", text(source, "L_KU_EN_FA"));
    if (electives) {
        put(file, "WPK1", longNameOf(text(source, "WPK1_FACH"), o.electives));
        put(file, "WPK2", longNameOf(text(source, "WPK2_FACH"), o.electives));
        put(file, "WPK3", longNameOf(text(source, "WPK3_FACH"), o.electives));
        put(file, "WPK4", longNameOf(text(source, "WPK4_FACH"), o.electives));
    }
}

} // namespace

QStringList missingComparisonFields(const dbase::Table& source)
{
    QStringList missing;
    for (const char* f : kRequired)
        if (source.findField(f) < 0)
            missing << QString::fromLatin1(f);
    return missing;
}

bool isClassFile(dbase::Table& file)
{
    bool first = true;
    QString klasse;
    for (file.first(); !file.eof() && !file.isEmpty(); file.next()) {
        const QString k = upperAscii(text(file, "KLASSE").trimmed());
        if (first)
            klasse = k;
        else if (k != klasse)
            return false;
        first = false;
    }
    return true;
}

ComparisonCounts compareWithAdministration(dbase::Table& file, const dbase::Table& sourceTable,
                                           const ComparisonOptions& o)
{
    // The source is only read; navigation needs a cursor of its own.
    dbase::Table& source = const_cast<dbase::Table&>(sourceTable);
    const int nameWidth = file.field(file.fieldIndex("NAME")).length;
    const int vornameWidth = file.field(file.fieldIndex("VORNAME")).length;
    std::vector<Student> students;
    for (file.first(); !file.eof() && !file.isEmpty(); file.next())
        students.push_back({file.recno(), nameKey(text(file, "NAME"), nameWidth),
                            nameKey(text(file, "VORNAME"), vornameWidth)});

    ComparisonCounts counts;
    // The marks are kept here, not in a field of the file, so no stored
    // text is touched by the comparison.
    const int total = int(source.recordCount());
    int done = 0;
    for (source.first(); !source.eof() && !source.isEmpty(); source.next()) {
        if (o.progress)
            o.progress(++done, total);
        if (!o.leaversToo && hasLeft(source, o.now))
            continue;
        if (upperAscii(text(source, "KLASSE").trimmed()).left(10) != o.klasse)
            continue;
        const QString name = nameKey(text(source, "NAME"), nameWidth);
        const QString vorname = nameKey(text(source, "VORNAME"), vornameWidth);
        // Two students of one name: each comparison record takes the first
        // one not found yet, so neither is removed.
        Student* found = nullptr;
        for (Student& s : students) {
            if (s.name != name || s.vorname != vorname)
                continue;
            if (!s.matched) {
                found = &s;
                break;
            }
            if (!found)
                found = &s;
        }
        if (found) {
            file.gotoRecord(found->recno);
            file.edit();
            put(file, "KLASSE", text(source, "KLASSE").trimmed());
            takeGroups(file, source, o, !o.keepWorkingGroups, !o.keepElectives);
            file.post();
            found->matched = true;
            continue;
        }
        file.append();
        put(file, "NAME", text(source, "NAME").trimmed());
        put(file, "VORNAME", text(source, "VORNAME").trimmed());
        put(file, "KLASSE", text(source, "KLASSE").trimmed());
        put(file, "STAATS", text(source, "STAAT").trimmed());
        const auto born = dateOf(source, "GEBOREN");
        put(file, "GEBOREN", born ? born->toString(QStringLiteral("dd.MM.yyyy")) : QString());
        put(file, "GEBORT", text(source, "GEB_ORT").trimmed());
        const bool female = upperAscii(text(source, "GESCHLECHT").trimmed().left(1)) == QLatin1String("W");
        put(file, "MW", female ? o.female : o.male);
        takeGroups(file, source, o, true, true);
        file.post();
        students.push_back({file.recno(), name, vorname, true});
        ++counts.added;
    }
    for (const Student& s : students) {
        if (s.matched) {
            ++counts.refreshed;
            continue;
        }
        file.gotoRecord(s.recno);
        file.deleteRecord();
        ++counts.removed;
    }
    counts.refreshed -= counts.added;
    return counts;
}

} // namespace zedora
