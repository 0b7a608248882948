// Column lines of the demo class and of every field of the student file.
#include "data/student_schema.h"
#include "tools/demo_templates.h"

#include <QHash>

namespace zedora::templates {
namespace {

// Captions of the fields; a field without one is shown under its name.
const QHash<QString, QString>& captions()
{
    static const QHash<QString, QString> c{
        {"NAME", "Name"}, {"VORNAME", "Vorname(n)"}, {"MW", "Geschlecht"}, {"KLASSE", "Klasse"},
        {"GEBOREN", "Geburtsdatum"}, {"GEBORT", "Geburtsort"}, {"TELEFON", "Telefon"},
        {"STAATS", "Staatsangehörigkeit"}, {"KONF", "Konfession"}, {"STRASSE", "Straße"},
        {"ORT", "Wohnort"}, {"STAMMF1", "Zusätzliches Feld 1"}, {"STAMMF2", "Zusätzliches Feld 2"},
        {"DE", "Deutsch"}, {"RS", "Rechtschreiben"}, {"EN", "Englisch"}, {"KE", "KEn Kurs Englisch"},
        {"MA", "Mathematik"}, {"KM", "KMa Kurs Mathematik"}, {"LA", "Latein"}, {"FR", "Französisch"},
        {"GR", "Griechisch"}, {"RE", "Religion"}, {"KO", "KO Kurs"}, {"WN", "Fach WN"}, {"SP", "Sport"},
        {"WU", "Fach WU"}, {"GE", "Geschichte"}, {"EK", "Erdkunde"}, {"SO", "Sozialkunde"},
        {"PH", "Physik"}, {"CH", "Chemie"}, {"BI", "Biologie"}, {"MU", "Musik"}, {"KU", "Kunst"},
        {"WE", "Werken"}, {"TG", "Textilgestaltung"}, {"AL", "Arbeitslehre"}, {"TE", "Technik"},
        {"HW", "Hauswirtschaft"}, {"SF", "Fach SF"}, {"SA", "Fach SA"},
        {"FF1", "Freies Fach 1"}, {"FFZ1", "FZ1 Note freies Fach 1"},
        {"FF2", "Freies Fach 2"}, {"FFZ2", "FZ2 Note freies Fach 2"},
        {"WPK1", "WPf-Kurs 1"}, {"WP1", "WP1 Note WPf-Kurs 1"}, {"WPK2", "WPf-Kurs 2"},
        {"WP2", "WP2 Note WPf-Kurs 2"}, {"WPK3", "WPf-Kurs 3"}, {"WP3", "WP3 Note WPf-Kurs 3"},
        {"WPK4", "WPf-Kurs 4"}, {"WP4", "WP4 Note WPf-Kurs 4"},
        {"WFK1", "Wahlfach 1"}, {"WF1", "WF1 Note Wahlfach 1"}, {"WFK2", "Wahlfach 2"},
        {"WF2", "WF2 Note Wahlfach 2"}, {"WFK3", "Wahlfach 3"}, {"WF3", "WF3 Note Wahlfach 3"},
        {"WFK4", "Wahlfach 4"}, {"WF4", "WF4 Note Wahlfach 4"},
        {"ABSCH", "Abschluss"}, {"KODAT", "Konferenzdatum"}, {"NOTE1", "N1 Note 1"}, {"NOTE2", "N2 Note 2"},
        {"JOKE1", "Freier Text 1"}, {"JOKE2", "Freier Text 2"}, {"AG1", "AG - 1"}, {"NAECH", "Nächste Klasse"},
        {"ID", "Schüler-ID"}, {"VS1", "VS1 Versäumte Tage 1. Hj."}, {"VS12", "VS12 Versäumte Tage 1.+2. Hj."},
        {"UE1", "UE1 davon unentschuldigt"}, {"UE12", "UE12 davon unentschuldigt"}, {"AG2", "AG - 2"},
        {"AG3", "AG - 3"}, {"PLZ", "Plz"}, {"ANR1", "Elternanrede 1"}, {"ANR2", "Elternanrede 2"},
        {"FOE1", "Förder 1"}, {"FOE2", "Förder 2"}, {"FOE3", "Förder 3"}, {"FOE4", "Förder 4"},
        {"K1", "K1 Kopfnote 1"}, {"K2", "K2 Kopfnote 2"}, {"K3", "K3 Kopfnote 3"}, {"K4", "K4 Kopfnote 4"},
        {"KD", "KDe Kurs Deutsch"}, {"KX", "KNw Kurs Naturwissenschaften"},
        {"TF1", "Freier Text 3"}, {"TF2", "Freier Text 4"},
        {"NOTE3", "N3 Note 3"}, {"NOTE4", "N4 Note 4"}, {"NOTE5", "N5 Note 5"}, {"NOTE6", "N6 Note 6"},
        {"NOTE7", "N7 Note 7"}, {"NOTE8", "N8 Note 8"}, {"NOTEX", "NX Naturwissenschaften"},
        {"D1", "Schnitt 1"}, {"D2", "Schnitt 2"}, {"D3", "Schnitt 3"},
    };
    return c;
}

QString captionOf(const QString& field)
{
    const QString c = captions().value(field);
    if (!c.isEmpty())
        return c;
    if (field.startsWith(QLatin1String("TB")))
        return QStringLiteral("Textblock ") + field.mid(2);
    return field;
}

// A width that shows a field's usual content without taking the whole table.
int columnWidth(const StudentField& f)
{
    switch (f.kind) {
    case FieldKind::Grade:
    case FieldKind::GradeLikeCode:
    case FieldKind::CourseLevel:
        return 3;
    case FieldKind::Absence:
        return 4;
    case FieldKind::Average:
        return 9;
    case FieldKind::AssessmentText:
        return 40;
    case FieldKind::GraduationCode:
        return 5;
    default:
        return qMin(f.width, 20);
    }
}

} // namespace

QString columnFileLine(const QString& field, const QString& caption, int width)
{
    return field.leftJustified(19, QLatin1Char(' '), true) + caption.leftJustified(40, QLatin1Char(' '), true)
           + QString::number(width).leftJustified(3, QLatin1Char(' '), true);
}

QStringList demoColumnLines()
{
    struct Column {
        const char* field;
        const char* caption; // UTF-8; empty: the field's usual caption
        int width;
    };
    static const Column columns[] = {
        {"NAME", "", 16},
        {"VORNAME", "", 12},
        {"KLASSE", "", 6},
        {"DE", "", 3},
        {"KD", "KDe Kurs Deutsch", 3},
        {"EN", "", 3},
        {"KE", "", 3},
        {"MA", "", 3},
        {"KM", "", 3},
        {"GE", "", 3},
        {"EK", "", 3},
        {"BI", "", 3},
        {"PH", "", 3},
        {"CH", "", 3},
        {"MU", "", 3},
        {"KU", "", 3},
        {"SP", "", 3},
        {"RE", "", 3},
        {"WPK1", "", 14},
        {"WP1", "", 3},
        {"VS1", "Versäumt 1. Hj.", 8},
        {"UE1", "unentschuldigt", 8},
        {"ABSCH", "", 5},
        {"D1", "Schnitt Hauptfächer", 9},
        {"D2", "Schnitt Nebenfächer", 9},
        {"TB1", "Beurteilung", 40},
        {"TB2", "Bemerkungen", 40},
    };
    QStringList lines;
    for (const Column& c : columns) {
        const QString field = QLatin1String(c.field);
        const QString caption = *c.caption ? QString::fromUtf8(c.caption) : captionOf(field);
        lines << columnFileLine(field, caption, c.width);
    }
    return lines;
}

QStringList allFieldsColumnLines()
{
    QStringList lines{
        QStringLiteral("Spaltenzeilen für alle Felder der Schülerdatei"),
        QStringLiteral("Feldname").leftJustified(19) + QStringLiteral("Überschrift").leftJustified(40)
            + QStringLiteral("Breite"),
    };
    for (const StudentField& f : kStoredFields)
        lines << columnFileLine(QLatin1String(f.name), captionOf(QLatin1String(f.name)), columnWidth(f));
    for (const StudentField& f : kCalculatedFields)
        lines << columnFileLine(QLatin1String(f.name), captionOf(QLatin1String(f.name)), columnWidth(f));
    return lines;
}

} // namespace zedora::templates
