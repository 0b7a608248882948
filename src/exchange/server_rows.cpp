#include "exchange/server_rows.h"

#include "base/ansi_text.h"
#include "core/settings.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace zedora {
namespace {

const char* const kQueryLines[] = {
    "select p.id,concat(p.Nachname,', ',p.NamensZusatz),",
    "<<<variabel>>>",
    "p.Geschlecht,g.Bezeichnung,",
    "b.KursId,k.Bezeichnung,k.art,k.Niveau,f.Bezeichnung,p.Geburtsdatum,",
    "p.Geburtsort,l.Bezeichnung, ko.bezeichnung, a.Strasse,o.PLZ, o.Name,",
    "k.spezial,s.VonSchule,",
    "concat(v1.Rufname,' ',v1.Namenszusatz,' ',v1.Nachname),",
    "concat(v2.Rufname,' ',v2.Namenszusatz,' ',v2.Nachname)",
    "from schueler s",
    "left join jahrgangsdaten j on s.id=j.SchuelerId",
    "left join person p on s.id=p.id",
    "left join adresse a on s.id=a.PersonId and a.Hauptwohnsitz=1",
    "left join ort o on a.OrtId = o.id",
    "left join gruppe g on j.GruppeId=g.Id",
    "left join land l on p.StaatsangehoerigkeitId = l.id",
    "left join konfession ko on p.KonfessionId = ko.Id",
    "left join belegung b on j.Id=b.JahrgangsdatenId",
    "left join kurs k on b.KursId=k.Id",
    "left join fach f on k.Fachid=f.Id",
    "left join schulgliederung sg on g.schulgliederungId=sg.Id",
    "left join schuljahr sj on sg.schuljahrid=sj.Id",
    "left join person v1 on v1.Id=(select sv.VerantwortlicherId from schuelerverantwortlicher sv left join "
    "verantwortlicher v on sv.VerantwortlicherId=v.Id where s.Id=sv.SchuelerId and Erziehungsberechtigt=1 order "
    "by art limit 0,1)",
    "left join person v2 on v2.Id=(select sv.VerantwortlicherId from schuelerverantwortlicher sv left join "
    "verantwortlicher v on sv.VerantwortlicherId=v.Id where s.Id=sv.SchuelerId and Erziehungsberechtigt=1 order "
    "by art limit 1,1)",
    "left join adresse a1 on (v1.Id=a1.PersonId and a1.Hauptwohnsitz=1)",
    "left join adresse a2 on (v2.Id=a2.PersonId and a2.Hauptwohnsitz=1)",
    "left join ort o1 on a1.OrtId=o1.Id",
    "left join ort o2 on a2.OrtId=o2.Id",
    "where j.Status=0 and g.bezeichnung <> '0' and sj.Aktuell=1",
    "order by p.id ",
};

// Result columns.
enum : int {
    RId = 0, RName, RVorname, RGeschlecht, RKlasse, RKursId, RKurs, RArt, RNiveau, RFach, RGeboren,
    RGebOrt, RStaat, RKonf, RStrasse, RPlz, ROrt, RSpezial, RVonSchule, RVerant1, RVerant2,
    RCount
};

QString value(const QStringList& row, int column)
{
    return column < row.size() ? row[column] : QString();
}

int slotOf(const QString& mark)
{
    for (QChar c : mark) {
        if (c >= QLatin1Char('1') && c <= QLatin1Char('9'))
            return c.digitValue();
    }
    return 0;
}

// Writes the slot's column, or the first empty one; false when all are full.
void place(ImportRow& row, int first, int count, int slot, const QString& name)
{
    if (slot >= 1 && slot <= count) {
        row[static_cast<size_t>(first + slot - 1)] = name;
        return;
    }
    for (int i = 0; i < count; ++i) {
        QString& cell = row[static_cast<size_t>(first + i)];
        if (cell.isEmpty()) {
            cell = name;
            return;
        }
    }
}

void addCourse(ImportRow& row, const QStringList& raw, const Settings& s)
{
    const QString kind = value(raw, RArt).left(1);
    if (kind.isEmpty())
        return;
    const QString level = value(raw, RNiveau).left(1);
    const int slot = slotOf(value(raw, RSpezial));
    const QString course = value(raw, RKurs).trimmed();
    const QString subject = value(raw, RFach).trimmed();
    if (kind == QStringLiteral("1") || kind == QStringLiteral("4")) {
        place(row, ImportColumn::WPK1, 4, slot, s.TolvoWPKBez ? course : subject);
    } else if (kind == QStringLiteral("3")) {
        place(row, ImportColumn::AG1, 3, slot, s.TolvoAGBez ? course : subject);
    } else if (kind == QStringLiteral("0")) {
        const QString letters[] = {s.Niveau0, s.Niveau1, s.Niveau2, s.Niveau3, s.Niveau4};
        QString letter;
        if (level.size() == 1 && level[0] >= QLatin1Char('0') && level[0] <= QLatin1Char('4'))
            letter = letters[level[0].digitValue()].left(1);
        const QString start = upperAscii(subject.left(2));
        QString suffix;
        if (start == QStringLiteral("MA"))
            suffix = QStringLiteral("-M");
        else if (start == QStringLiteral("EN"))
            suffix = QStringLiteral("-E");
        else if (start == QStringLiteral("DE"))
            suffix = QStringLiteral("-D");
        else if (start == QStringLiteral("NA") || start == QStringLiteral("NW"))
            suffix = QStringLiteral("-N");
        if (!suffix.isEmpty())
            row[ImportColumn::KM] += suffix + letter;
    }
}

} // namespace

QString serverQuery(int firstNameOption)
{
    const char* firstName = firstNameOption == 1 ? "p.Vornamen," : firstNameOption == 2 ? "p.Vorname," : "p.Rufname,";
    QString query;
    for (const char* line : kQueryLines)
        query += QLatin1Char(' ') + (qstrcmp(line, "<<<variabel>>>") == 0 ? QLatin1String(firstName) : QLatin1String(line));
    return query;
}

void shapeServerRows(const RawTable& raw, const Settings& settings, ImportTable& table)
{
    table.clear();
    QString currentId;
    ImportRow row;
    bool open = false;
    for (const QStringList& r : raw.rows) {
        const QString id = value(r, RId).trimmed().left(20);
        if (!open || id != currentId) {
            if (open)
                table.append(row);
            row = ImportRow{};
            open = true;
            currentId = id;
            QString name = value(r, RName).trimmed();
            if (name.endsWith(QLatin1Char(',')))
                name = name.chopped(1).trimmed();
            row[ImportColumn::Name] = name;
            row[ImportColumn::Vorname] = value(r, RVorname);
            row[ImportColumn::MW] = value(r, RGeschlecht);
            row[ImportColumn::Klasse] = value(r, RKlasse);
            row[ImportColumn::Geboren] = value(r, RGeboren);
            row[ImportColumn::GebOrt] = value(r, RGebOrt);
            row[ImportColumn::Staats] = value(r, RStaat);
            row[ImportColumn::Konf] = value(r, RKonf);
            row[ImportColumn::Strasse] = value(r, RStrasse);
            row[ImportColumn::PLZ] = value(r, RPlz);
            row[ImportColumn::Ort] = value(r, ROrt);
            row[ImportColumn::StammF2] = value(r, RVonSchule);
            row[ImportColumn::ANR1] = value(r, RVerant1);
            row[ImportColumn::ANR2] = value(r, RVerant2);
        }
        addCourse(row, r, settings);
    }
    if (open)
        table.append(row);
    table.number();
}

QString AnsiConversion::convert(const QByteArray& utf8)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(utf8);
    // What Windows-1252 cannot hold (and U+FFFD for bytes that were no
    // UTF-8) would become '?' silently; count it so the user is told.
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) {
            out += c;
            continue;
        }
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (!c.isSurrogate() && c.unicode() != 0xFFFD && toAnsi(QString(c)) != "?") {
            out += c;
            continue;
        }
        out += QLatin1Char('?');
        ++replaced;
    }
    text = out;
    return text;
}

} // namespace zedora
