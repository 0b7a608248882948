#include "data/student_schema.h"

#include "dbase/tag_sets.h"

#include "base/ansi_text.h"

namespace zedora {
namespace {

const StudentField* findIn(const auto& table, const QString& upper)
{
    for (const StudentField& f : table) {
        if (upper == QLatin1String(f.name))
            return &f;
    }
    return nullptr;
}

} // namespace

std::vector<dbase::FieldDesc> studentFileFields()
{
    std::vector<dbase::FieldDesc> fields;
    fields.reserve(kStoredFields.size());
    for (const StudentField& f : kStoredFields) {
        dbase::FieldDesc d;
        d.name = f.name;
        d.type = f.type;
        d.length = f.width;
        fields.push_back(d);
    }
    return fields;
}

int studentRecordLength()
{
    int length = 1;
    for (const StudentField& f : kStoredFields)
        length += f.width;
    return length;
}

std::vector<dbase::TagSpec> studentIndexTagSpecs()
{
    return dbase::studentTags();
}

std::vector<dbase::TagSpec> textBlockIndexTagSpecs()
{
    return dbase::textBlockTags();
}

const StudentField* findStudentField(const QString& name)
{
    const QString upper = upperAscii(name.trimmed());
    if (const StudentField* f = findIn(kStoredFields, upper))
        return f;
    return findIn(kCalculatedFields, upper);
}

int storedFieldIndex(const QString& name)
{
    const QString upper = upperAscii(name.trimmed());
    for (int i = 0; i < kStoredFieldCount; ++i) {
        if (upper == QLatin1String(kStoredFields[size_t(i)].name))
            return i;
    }
    return -1;
}

int fieldKind(const QString& name)
{
    const StudentField* f = findStudentField(name);
    return f ? f->kind : -1;
}

int defaultDisplayWidth(const QString& name)
{
    const StudentField* f = findStudentField(name);
    return f ? f->width : 10;
}

QStringList fieldsOfKind(int kind)
{
    QStringList names;
    for (const StudentField& f : kStoredFields) {
        if (f.kind == kind)
            names << QLatin1String(f.name);
    }
    return names;
}

const KindRule* kindRule(int kind)
{
    for (const KindRule& r : kKindRules) {
        if (r.kind == kind)
            return &r;
    }
    return nullptr;
}

ChangeCheck changeCheck(const QString& field)
{
    const StudentField* f = findStudentField(field);
    const KindRule* rule = f ? kindRule(f->kind) : nullptr;
    if (!rule || !rule->checkedOnChange)
        return ChangeCheck::None;
    if (f->kind == FieldKind::GraduationCode)
        return ChangeCheck::GraduationCode;
    // The levels of German and of the science course take any code.
    if (qstrcmp(f->name, "KD") == 0 || qstrcmp(f->name, "KX") == 0)
        return ChangeCheck::None;
    return ChangeCheck::Abbreviation;
}

bool countsInAverages(int kind)
{
    const KindRule* rule = kindRule(kind);
    return rule && rule->countedInAverages;
}

bool isHiddenKind(int kind)
{
    const KindRule* rule = kindRule(kind);
    return rule && rule->hidden;
}

bool isReadOnly(int kind, const EditState& state)
{
    const KindRule* rule = kindRule(kind);
    if (!rule)
        return true;
    if (state.tableLock && rule->lockedByTableLock)
        return true;
    switch (rule->access) {
    case KindAccess::Editable:
        return false;
    case KindAccess::MasterData:
        return !state.masterDataEditing;
    case KindAccess::TextEditor:
        return state.entryTableFocus;
    case KindAccess::Never:
        return true;
    }
    return true;
}

bool isMasterDataName(const QString& field)
{
    const QString name = upperAscii(field.trimmed());
    // A name holding "#" could span two entries of the list.
    if (name.isEmpty() || name.contains(QLatin1Char('#')))
        return false;
    return QLatin1String(kMasterDataNames).contains(QLatin1Char('#') + name + QLatin1Char('#'));
}

const SortOrder* sortOrder(int sortierung)
{
    for (const SortOrder& o : kSortOrders) {
        if (o.value == sortierung)
            return &o;
    }
    return nullptr;
}

QString sortOrderCaption(const SortOrder& order)
{
    return QString::fromUtf8(order.caption);
}

} // namespace zedora
