#include "data/column_layout.h"

#include "base/ansi_text.h"
#include "data/column_block.h"

#include <QSet>

namespace zedora {
namespace {

int columnWidth(const QString& text, const QString& field)
{
    if (text.isEmpty())
        return defaultDisplayWidth(field);
    bool ok = false;
    int width = text.toInt(&ok);
    if (!ok)
        width = 10;
    return qBound(2, width, 150);
}

int indexIn(const char* const* names, int count, const QString& field)
{
    for (int i = 0; i < count; ++i) {
        if (field == QLatin1String(names[i]))
            return i;
    }
    return -1;
}

// The single-record page takes the field into its slot, if it has one.
void placeOnMask(MaskPage& mask, const ColumnSpec& c, const StudentField& f)
{
    static const char* const averages[] = {"D1", "D2", "D3"};
    static const char* const codes[] = {"K1", "K2", "K3", "K4"};
    static const char* const wpk[] = {"WPK1", "WPK2", "WPK3", "WPK4"};
    static const char* const wp[] = {"WP1", "WP2", "WP3", "WP4"};
    static const char* const wfk[] = {"WFK1", "WFK2", "WFK3", "WFK4"};
    static const char* const wf[] = {"WF1", "WF2", "WF3", "WF4"};
    const QString label = c.caption.trimmed();
    int i = -1;
    if (f.type == 'M') {
        if (int(mask.texts.size()) < kMaskTextSlots)
            mask.texts.push_back({c.field, label + QStringLiteral(" (") + c.field + QLatin1Char(')')});
    } else if ((i = indexIn(averages, 3, c.field)) >= 0) {
        mask.averages[size_t(i)] = label;
    } else if (c.field == QLatin1String("ABSCH")) {
        mask.graduation = true;
    } else if (c.field == QLatin1String("VS1")) {
        mask.absence1 = true;
    } else if (c.field == QLatin1String("VS12")) {
        mask.absence12 = true;
    } else if ((i = indexIn(codes, 4, c.field)) >= 0) {
        mask.codes[size_t(i)] = label;
    } else if ((i = indexIn(wpk, 4, c.field)) >= 0) {
        mask.electiveNames[size_t(i)] = true;
    } else if ((i = indexIn(wp, 4, c.field)) >= 0) {
        mask.electiveGrades[size_t(i)] = true;
    } else if ((i = indexIn(wfk, 4, c.field)) >= 0) {
        mask.optionalNames[size_t(i)] = true;
    } else if ((i = indexIn(wf, 4, c.field)) >= 0) {
        mask.optionalGrades[size_t(i)] = true;
    } else if (!c.masterData && f.width > 30) {
        if (int(mask.freeTexts.size()) < kMaskFreeTextSlots)
            mask.freeTexts.push_back({c.field, label});
    }
    const bool electiveGrade = indexIn(wp, 4, c.field) >= 0 || indexIn(wf, 4, c.field) >= 0;
    if ((f.kind == FieldKind::Grade || f.kind == FieldKind::CourseLevel) && !electiveGrade
        && int(mask.grades.size()) < kMaskGradeSlots)
        mask.grades.push_back({c.field, label.left(20)});
}

void addToHistory(ColumnDescription& d, const ColumnSpec& c)
{
    if (c.field == QLatin1String("NAME") || c.field == QLatin1String("VORNAME")
        || c.field == QLatin1String("KLASSE"))
        return;
    const QString caption = c.caption.trimmed();
    d.historyRows.push_back({QStringLiteral("   ") + caption, c.field});
    const bool narrow = c.width <= 2;
    d.historyColumns.push_back(
        {c.field, narrow ? caption.left(c.width) : caption, narrow ? 18 : 9 * c.width});
}

} // namespace

const ColumnSpec* ColumnDescription::find(const QString& field) const
{
    const QString upper = upperAscii(field.trimmed());
    for (const ColumnSpec& c : columns) {
        if (c.field == upper)
            return &c;
    }
    return nullptr;
}

bool ColumnDescription::isExempt(const QString& field) const
{
    const QString upper = upperAscii(field.trimmed());
    return !upper.isEmpty() && exemptList.contains(QLatin1Char('#') + upper + QLatin1Char('#'));
}

QString ColumnDescription::captionAt(int position) const
{
    if (position < 0 || position >= int(columns.size()))
        return {};
    return columns[size_t(position)].caption.left(25);
}

ApplyResult applyColumnLines(const QStringList& columnLines, const ApplyOptions& options)
{
    ApplyResult result;
    ColumnDescription& d = result.description;

    for (const QString& line : columnLines) {
        const ColumnLine c = parseColumnLine(line);
        if (c.exempt && !c.name18.isEmpty()) {
            if (d.exemptList.isEmpty())
                d.exemptList = QStringLiteral("#");
            d.exemptList += c.name18 + QLatin1Char('#');
        }
    }

    QSet<QString> fileFields;
    for (const QString& f : options.fileFields)
        fileFields.insert(upperAscii(f.trimmed()));
    QSet<QString> shown;

    for (const QString& line : columnLines) {
        const ColumnLine c = parseColumnLine(line);
        if (c.name.isEmpty() || c.name == QLatin1String("LN"))
            continue;
        if (options.nameGridVisible
            && (c.name == QLatin1String("NAME") || c.name == QLatin1String("VORNAME")))
            continue;
        const StudentField* f = findStudentField(c.name);
        const bool calculated = f && f->kind == FieldKind::Average;
        if (!f || (!calculated && !options.fileFields.isEmpty() && !fileFields.contains(c.name))) {
            if (options.skipUnknown)
                continue;
            result.unknownField = c.name;
            return result;
        }
        // A field stands in one column only.
        if (shown.contains(c.name))
            continue;
        shown.insert(c.name);

        ColumnSpec entry;
        entry.field = c.name;
        entry.caption = c.caption;
        entry.width = columnWidth(c.width, c.name);
        entry.title = c.caption.left(entry.width);
        entry.exempt = d.isExempt(c.name);
        entry.kind = f->kind;
        entry.masterData = isMasterDataName(c.name);
        addToHistory(d, entry);
        placeOnMask(d.mask, entry, *f);
        d.columns.push_back(entry);
    }
    return result;
}

} // namespace zedora
