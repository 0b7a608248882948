#include "print/placeholders.h"

#include "core/settings.h"
#include "base/ansi_text.h"
#include "base/dates.h"
#include "base/interaction.h"
#include "data/student_schema.h"

#include <QLocale>

#include <cmath>

namespace zedora {

namespace {

const QString kGeneralNames = QStringLiteral(
    "#SCHULNAME1#SCHULNAME2#SCHULNAME3#HJ#SJ#NAE_SJ#AUORT#AUDAT#AUDAT2#ERSIE#SEINIHR#IHMIHR#SOTO#LNR#");
const QString kMasterDataNames = QStringLiteral(
    "#NAME#VORNAME#GEBORT#GEBOREN#KLASSE#MW#PLZ#ORT#STRASSE#STAATS#TELEFON#STAMMF1#STAMMF2#KONF#ANR1#"
    "ANR2#SIB3#SIB4#");
const QString kPlainTextNames = QStringLiteral("#VS1#VS12#UE1#UE12##JOKE1#JOKE2#");
const QString kAbsenceNames = QStringLiteral("#VS1#VS12#UE1#UE12#");

bool inList(const QString& list, const QString& name)
{
    return list.contains(QLatin1Char('#') + name + QLatin1Char('#'));
}

bool isBoy(const PlaceholderContext& c)
{
    if (!c.record || !c.record->hasField(QStringLiteral("MW")))
        return false;
    const QString mw = upperAscii(c.record->value(QStringLiteral("MW")).trimmed());
    // A blank sex letter counts as a girl's, whatever the setting says.
    return !mw.isEmpty() && mw == upperAscii(c.settings->Maennlich.trimmed());
}

QString pronoun(bool capital, const char* upper, const char* lower)
{
    return QString::fromUtf8(capital ? upper : lower);
}

QString generalValue(const QString& name, bool capital, const PlaceholderContext& c)
{
    const Settings& s = *c.settings;
    const bool empty = c.formMode == FormMode::EmptyForm;
    const QString four(4, QLatin1Char(' '));
    const QString two(2, QLatin1Char(' '));
    if (name == u"SCHULNAME1") return s.SchulName1;
    if (name == u"SCHULNAME2") return s.SchulName2;
    if (name == u"SCHULNAME3") return s.SchulName3;
    if (name == u"AUORT") return s.AusgabeOrt;
    if (name == u"LNR") return QString::number(c.runningNumber);
    if (name == u"HJ") return empty ? four : s.Halbjahr;
    if (name == u"AUDAT") return empty ? four : s.AusgabeDatum;
    if (name == u"AUDAT2") return empty ? four : s.AusgabeDatum2;
    if (name == u"SJ") return empty ? two : s.Schuljahr;
    if (name == u"NAE_SJ") return empty ? two : s.NaechSchuljahr;
    if (empty)
        return two;
    const bool boy = isBoy(c);
    if (name == u"ERSIE") return boy ? pronoun(capital, "Er", "er") : pronoun(capital, "Sie", "sie");
    if (name == u"SEINIHR") return boy ? pronoun(capital, "Sein", "sein") : pronoun(capital, "Ihr", "ihr");
    if (name == u"IHMIHR") return boy ? pronoun(capital, "Ihm", "ihm") : pronoun(capital, "Ihr", "ihr");
    if (name == u"SOTO") return boy ? QStringLiteral("Ihr Sohn") : QStringLiteral("Ihre Tochter");
    return {};
}

void reportUnknown(const QString& name, const PlaceholderContext& c)
{
    if (!c.ui)
        return;
    // The message must not appear under a wait cursor; the pass that shows
    // one keeps its own (nested) wait cursor afterwards.
    c.ui->busy(false);
    c.ui->info(QStringLiteral("\nVariable %") + name + QStringLiteral("% nicht gefunden!"));
    c.ui->busy(true);
}

std::optional<QString> fieldText(const QString& name, const PlaceholderContext& c)
{
    if (!c.record || !c.record->hasField(name)) {
        reportUnknown(name, c);
        return std::nullopt;
    }
    return c.record->value(name);
}

QString fieldValue(const QString& name, const PlaceholderContext& c)
{
    if (c.formMode == FormMode::EmptyForm)
        return QString(5, QLatin1Char(' '));
    const bool master = inList(kMasterDataNames, name);
    if (c.formMode == FormMode::HeadDataOnly && !master)
        return {};
    const std::optional<QString> text = fieldText(name, c);
    if (!text)
        return {};
    const int birthFormat = c.settings->GebFormat;
    if (c.formMode == FormMode::HeadDataOnly)
        return name == u"GEBOREN" ? formatDate(*text, birthFormat) : *text;

    const int cls = c.record->fieldClass(name);
    if (cls == FieldKind::Average)
        return formatAverage(*text);
    if (cls == FieldKind::GraduationCode)
        return graduationText(*text, c);
    if (master || inList(kPlainTextNames, name)) {
        if (inList(kAbsenceNames, name) && text->trimmed().isEmpty())
            return QStringLiteral("--");
        if (name == u"GEBOREN")
            return formatDate(*text, birthFormat);
        if (name == u"NAME")
            return nameTurnedRound(*text);
        return *text;
    }
    QString result = convertGradeValue(*text, name, cls, c);
    if (c.epochalSubjects.contains(name))
        result += QStringLiteral("  ") + c.settings->EpZeichen;
    return result;
}

// Finds the next placeholder: start of the first '%' and the position of its
// closing '%'; false when there is none (a lone '%' stops as well).
bool nextPlaceholder(const QString& text, qsizetype& open, qsizetype& close)
{
    open = text.indexOf(QLatin1Char('%'));
    if (open < 0)
        return false;
    close = text.indexOf(QLatin1Char('%'), open + 1);
    return close >= 0;
}

QStringList memoLines(const QString& memo)
{
    QString text = memo;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    if (text.isEmpty())
        return {};
    return text.split(QLatin1Char('\n'));
}

} // namespace

int RecordValues::fieldClass(const QString& name) const
{
    const int kind = fieldKind(name);
    return kind < 0 ? 0 : kind;
}

QString replacePlaceholders(const QString& text, const PlaceholderContext& context)
{
    if (context.formMode == FormMode::VariableNames)
        return text;
    QString result = text;
    for (int round = 0; round < kPlaceholderRounds; ++round) {
        qsizetype open = 0, close = 0;
        if (!nextPlaceholder(result, open, close))
            break;
        const QString written = result.mid(open + 1, close - open - 1).left(20);
        const bool capital = written.isEmpty() || upperAscii(written.left(1)) == written.left(1);
        const QString name = upperAscii(written);
        result.remove(open, close - open + 1);
        const QString value = inList(kGeneralNames, name) ? generalValue(name, capital, context)
                                                          : fieldValue(name, context);
        result.insert(open, value.left(kValueCapacity));
    }
    result.truncate(kTextCapacity);
    return result;
}

QString fetchTextBlockColumn(const QString& text, const PlaceholderContext& context)
{
    if (context.formMode == FormMode::VariableNames)
        return text;
    QString rest = text;
    QString result;
    for (int round = 0; round < kPlaceholderRounds; ++round) {
        qsizetype open = 0, close = 0;
        if (!nextPlaceholder(rest, open, close))
            break;
        const QString name = upperAscii(rest.mid(open + 1, close - open - 1).left(20));
        rest.remove(open, close - open + 1);
        result.clear();
        const std::optional<QString> memo = fieldText(name, context);
        if (!memo)
            continue;
        const QStringList lines = memoLines(*memo);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QString line = lines[i];
            const qsizetype hash = line.indexOf(QLatin1Char('#'));
            if (hash >= 0)
                line.insert(hash, QLatin1Char(' '));
            if (i == lines.size() - 1)
                line += QLatin1Char(' ');
            result += line;
            if (result.size() >= kTextBlockColumnCapacity)
                break;
        }
        result.truncate(kTextBlockColumnCapacity);
    }
    return result;
}

QString applyFilter(const QString& value, const QString& filter)
{
    const QString f = upperAscii(filter);
    if (f.isEmpty())
        return value;
    const QChar mode = f.front();
    if (mode != u'G' && mode != u'U')
        return value;
    const qsizetype quote = f.indexOf(QLatin1Char('"'));
    const QString list = quote < 0 ? QString() : f.mid(quote).trimmed();
    const bool listed = list.contains(QLatin1Char('"') + upperAscii(value) + QLatin1Char('"'));
    if (mode == u'G')
        return listed ? value : QString();
    return listed ? QString() : value;
}

QString formatDate(const QString& text, int format)
{
    if (text.trimmed().isEmpty())
        return text.trimmed();
    const std::optional<QDate> date = parseGermanDate(text);
    if (!date || format < 0 || format > 2)
        return text.left(50);
    const QString day2 = QStringLiteral("%1").arg(date->day(), 2, 10, QLatin1Char('0'));
    const QString month2 = QStringLiteral("%1").arg(date->month(), 2, 10, QLatin1Char('0'));
    const QString year4 = QStringLiteral("%1").arg(date->year(), 4, 10, QLatin1Char('0'));
    switch (format) {
    case 0: return day2 + u'.' + month2 + u'.' + year4.right(2);
    case 1: return day2 + u'.' + month2 + u'.' + year4;
    default:
        return QString::number(date->day()) + QStringLiteral(". ") + germanMonthName(date->month())
               + u' ' + year4;
    }
}

QString formatAverage(const QString& text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v <= 0)
        return {};
    // Halves round away from zero, as the entry table shows them.
    const double rounded = std::round(v * 100.0) / 100.0;
    return QLocale(QLocale::German).toString(rounded, 'f', 2).remove(QLocale(QLocale::German).groupSeparator());
}

QString nameTurnedRound(const QString& surname)
{
    const qsizetype comma = surname.indexOf(QLatin1Char(','));
    if (comma < 0)
        return surname;
    return surname.mid(comma + 1).trimmed() + u' ' + surname.left(comma).trimmed();
}

QString convertGradeValue(const QString& value, const QString& field, int fieldClass,
                          const PlaceholderContext& context)
{
    if (fieldClass != FieldKind::FreeText && fieldClass != FieldKind::Grade
        && fieldClass != FieldKind::GradeLikeCode && fieldClass != FieldKind::CourseLevel)
        return value;
    if (inList(context.freeEntryColumns, field) || field == u"AG2" || field == u"AG3")
        return value;
    if (context.gradeFormat != kGradeMeaning1 && context.gradeFormat != kGradeMeaning2)
        return value;
    if (!context.codes)
        return fieldClass == FieldKind::Grade ? value.left(1) : value;
    const int which = context.gradeFormat == kGradeMeaning1 ? 1 : 2;
    // The whole value is looked up, so a defined "2-" prints its own meaning;
    // an undefined one prints as its first character.
    if (const auto meaning = context.codes->gradeMeaning(upperAscii(value.trimmed()), which))
        return meaning->trimmed();
    return fieldClass == FieldKind::Grade ? value.left(1) : value;
}

QString graduationText(const QString& code, const PlaceholderContext& context)
{
    if (context.gradeFormat == kGradeAbbreviation)
        return code.left(20);
    if (context.codes) {
        if (const auto meaning = context.codes->graduationMeaning(upperAscii(code.trimmed())))
            return meaning->left(50);
    }
    return code;
}

} // namespace zedora
