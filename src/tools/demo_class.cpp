// The demo class 10b of an invented comprehensive school: 25 students with
// master data, grades, course levels, absences, some graduation codes and
// assessment texts written from the demo text blocks. The students are of
// the age of a tenth class in the school year the settings start with
// (2013/2014), and each first text fits the text area of the demo layout.
#include "data/student_identity.h"
#include "tools/demo_templates.h"

#include <QDate>
#include <QRegularExpression>
#include <stdexcept>

namespace zedora::templates {
namespace {

// Grade columns in the order of Student::grades.
constexpr const char* kGradeFields[] = {"DE", "EN", "MA", "GE", "EK", "BI", "PH",
                                        "CH", "MU", "KU", "SP", "RE", "WP1"};

struct Student {
    const char* name;
    const char* vorname;
    const char* mw;
    const char* geboren;
    const char* gebort;
    const char* staats;
    const char* konf;
    const char* strasse;
    bool birkenfelde; // lives in the neighbouring village
    const char* grades; // blank-separated, in kGradeFields order
    const char* courses; // KD KE KM
    int vs1, ue1;
    const char* absch;
    const char* wpk1;
    const char* ag1;
    // Assessment texts: block IDs, "|" for a new line, or a sentence of its own.
    std::vector<const char*> tb1;
    std::vector<const char*> tb2;
    const char* parent = nullptr; // single parent: "Frau Katrin Schneider"
};

const std::vector<Student>& students()
{
    static const std::vector<Student> list{
        {"Berger", "Lena", "w", "14.03.1998", "Lindenhagen", "deutsch", "ev.", "Am Mühlbach 12", false,
         "1- 2+ 1 2 1- 2 2+ 2 2 1 2 1- 2+", "E E E", 2, 0, "FORQ", "Französisch", "Schülerzeitung",
         {"A1", "A7", "S3", "D2"}, {"B3", "F6"}},
        {"Yilmaz", "Emre", "m", "02.11.1997", "Lindenhagen", "deutsch", "islam.", "Kastanienring 4", false,
         "3 3- 2 3 3 3+ 2 2- 3 3 1 -- 2", "G G E", 6, 0, "", "Informatik", "Fußball",
         {"A3", "S1", "K1", "M2"}, {}},
        {"Kowalski", "Julia", "w", "27.06.1998", "Krakau", "polnisch", "rk.", "Lindenallee 27", false,
         "2 2 3 2- 2 2 3 3+ 1 2+ 2 2 2", "E E G", 3, 0, "", "Darstellen und Gestalten", "",
         {"A2", "A9", "D4", "E6"}, {}},
        {"Schneider", "Jonas", "m", "09.01.1998", "Hannover", "deutsch", "ev.", "Birkenweg 8", false,
         "4+ 3- 3 4 3 3 3 4+ 3 4 2 3 3-", "G G G", 11, 4, "", "Arbeitslehre", "",
         {"A4", "A6", "|", "L5"}, {"B6"}, "Frau Katrin Schneider"},
        {"Al-Hassan", "Nour", "w", "18.08.1997", "Aleppo", "syrisch", "islam.", "Schulstraße 15", false,
         "3+ 2- 2+ 2 2 1- 2 2+ 3 2 3 -- 2", "G E E", 1, 0, "FOR", "Naturwissenschaften", "",
         {"A1", "S7",
          "Ihre Deutschkenntnisse hat Nour so weit ausgebaut, dass sie dem Unterricht in allen Fächern sicher folgt.",
          "N1"},
         {"F7", "F4"}},
        {"Meyer", "Finn", "m", "30.04.1998", "Lindenhagen", "deutsch", "ohne", "Heideweg 3", false,
         "3 4 4- 3 3+ 3- 4 4 2 3 2+ -- 3", "G G G", 4, 2, "", "Arbeitslehre", "",
         {"A3", "A6", "M5"}, {"F3", "F1"}},
        {"Nguyen", "Minh Anh", "w", "05.12.1997", "Lindenhagen", "deutsch", "ohne", "Eichendorffstraße 21", false,
         "1 1- 1 1- 2+ 1 1 1 2 2+ 2 -- 1", "E E E", 0, 0, "FORQ", "Naturwissenschaften", "Mathematik",
         {"A1", "A8", "M1", "N2"}, {"B4", "F6"}},
        {"Öztürk", "Deniz", "m", "21.02.1998", "Bielefeld", "deutsch", "islam.", "Bahnhofstraße 40", false,
         "3 2 3- 3 2- 3 3 3 2 3 1- -- 2-", "G E G", 5, 0, "", "Informatik", "",
         {"A2", "S9", "S5", "L6"}, {}},
        {"Fischer", "Marie", "w", "11.10.1997", "Lindenhagen", "deutsch", "rk.", "Rosenstraße 6", false,
         "2+ 2 2- 1- 2 2 3+ 3 1 1 2 2+ 2+", "E E E", 2, 0, "", "Französisch", "Schulchor",
         {"A2", "A5", "D8", "K3"}, {"B5"}},
        {"Rossi", "Luca", "m", "16.07.1997", "Lindenhagen", "italienisch", "rk.", "Marktplatz 2", false,
         "3- 3 4+ 3 3 3- 4+ 4 3 2- 1 3 3", "G G G", 7, 1, "", "Darstellen und Gestalten", "",
         {"A4", "S1", "M6"}, {}},
        {"Wagner", "Sophie", "w", "03.05.1998", "Kassel", "deutsch", "ev.", "Wiesengrund 17", false,
         "2 1- 2 2+ 2 2- 2 3+ 2 2 2 1 1-", "E E E", 3, 0, "", "Französisch", "Schulsanitätsdienst",
         {"Sophie arbeitet in allen Fächern gewissenhaft und mit großer Selbstständigkeit.", "A9", "S8", "|",
          "E1"}, {"B1", "F6"}},
        {"Popescu", "Andrei", "m", "24.09.1997", "Bukarest", "rumänisch", "orth.", "Zum Steinbruch 9", false,
         "3- 3+ 2 3 3 2- 2+ 2 4+ 3 2 -- 2", "G G E", 9, 0, "", "Naturwissenschaften", "",
         {"A3", "S7", "|", "M4", "N4"}, {}},
        {"Hoffmann", "Paul", "m", "12.03.1998", "Lindenhagen", "deutsch", "ev.", "Brunnengasse 5", false,
         "4 4- 5+ 4 3- 4+ 4 4- 3 3 2 3 3-", "G G G", 14, 6, "HA10", "Arbeitslehre", "",
         {"A4", "A6", "M5"}, {"F3", "F8", "|", "B7"}},
        {"Schmidt-Ahrens", "Clara", "w", "29.01.1998", "Göttingen", "deutsch", "ev.", "Hinter den Höfen 11", false,
         "1- 2+ 2 1- 2+ 2 2 2- 2 1 3+ 1- 2", "E E E", 1, 0, "", "Darstellen und Gestalten", "Theater",
         {"A1", "S3", "D2", "D8"}, {"B9"}},
        {"Petrovic", "Milan", "m", "07.06.1997", "Lindenhagen", "serbisch", "orth.", "Am Sportplatz 14", false,
         "3 3 3+ 3- 3 3 3 3- 3 3 1 -- 3+", "G G G", 3, 0, "", "Informatik", "Fußball",
         {"A2", "A6", "S5", "K1"}, {}},
        {"Weber", "Hanna", "w", "19.11.1997", "Lindenhagen", "deutsch", "rk.", "Lindenallee 3", false,
         "2 3+ 2- 2 2+ 2 3 3 2 2 3 2 2", "E G E", 4, 0, "", "Französisch", "",
         {"A3", "A5", "S7", "E3"}, {}},
        {"Demir", "Elif", "w", "01.04.1998", "Lindenhagen", "deutsch", "islam.", "Kastanienring 19", false,
         "2- 2 3 2 2 2 3 3 2+ 1- 2 -- 2", "E E G", 2, 0, "", "Darstellen und Gestalten", "",
         {"A2", "A9", "D6", "K2"}, {}},
        {"Krüger", "Tim", "m", "26.08.1997", "Magdeburg", "deutsch", "ohne", "Heideweg 12", false,
         "4 5+ 3 4 4+ 3- 3 4 3- 4 3 -- 4+", "G G G", 18, 7, "", "Arbeitslehre", "",
         {"A4", "S9", "|",
          "In Mathematik zeigt Tim, dass er mehr kann, wenn er sich auf die Aufgaben einlässt."},
         {"B6", "B7", "|", "F1"}, "Herrn Thomas Krüger"},
        {"Haddad", "Yasmin", "w", "13.02.1998", "Beirut", "deutsch", "islam.", "Rosenstraße 22", false,
         "2 2 2 2 1- 2- 2 2 2 2 2- -- 2", "E E E", 0, 0, "", "Naturwissenschaften", "",
         {"Yasmin arbeitet konzentriert und zielstrebig und lässt sich auch von Rückschlägen nicht entmutigen.",
          "A5", "S2", "N2"}, {"F6"}},
        {"Becker", "Leon", "m", "08.12.1997", "Lindenhagen", "deutsch", "ev.", "Birkenweg 30", false,
         "3+ 3 2+ 3+ 2 2 2+ 2 3 3 2 3 2", "G E E", 5, 0, "", "Informatik", "Technik",
         {"A3", "S4", "M7", "L2"}, {}},
        {"Sokolova", "Anastasia", "w", "22.07.1998", "Omsk", "deutsch", "orth.", "Eichendorffstraße 8", false,
         "2- 1 3+ 2 2 2+ 3 3 1- 2 2 -- 1-", "E E G", 6, 0, "", "Französisch", "",
         {"A2", "S7", "E1"}, {}},
        {"Koch", "Ben", "m", "15.05.1997", "Birkenfelde", "deutsch", "rk.", "Dorfstraße 7", true,
         "4 3- 4 3- 4+ 4 4 4- 3 3 2- 3 3", "G G G", 8, 3, "HA10", "Arbeitslehre", "",
         {"A3", "S2", "L1", "M6"}, {"B2", "|", "B8"}},
        {"Mensah", "Ama", "w", "04.09.1997", "Accra", "ghanaisch", "ev.", "Wiesengrund 2", false,
         "2 1- 3 2 2+ 2 3+ 3 1 2 1- 2 2-", "E E G", 3, 0, "", "Darstellen und Gestalten", "Schulchor",
         {"A1", "S1", "E6", "K3"}, {"B5"}},
        {"Lehmann", "Noah", "m", "28.10.1997", "Birkenfelde", "deutsch", "ev.", "Am Anger 4", true,
         "3 3 2- 2- 3+ 2 2 2+ 3 4+ 2 2 2", "G G E", 2, 0, "", "Naturwissenschaften", "",
         {"A3", "A5", "S8", "N4"}, {}},
        {"Brandt, von", "Charlotte", "w", "17.06.1998", "Lindenhagen", "deutsch", "ev.", "Lindenallee 1", false,
         "2+ 2+ 2 1 1- 2 2 2 2 2 2 1- 2+", "E E E", 1, 0, "FORQ", "Französisch", "",
         {"A1", "A9", "D4", "D5"}, {}},
    };
    return list;
}

const TextBlock* findBlock(const QString& id)
{
    for (const TextBlock& b : demoTextBlocks()) {
        if (id == QLatin1String(b.id))
            return &b;
    }
    return nullptr;
}

// The text a teacher gets by putting these blocks into the memo one after
// the other; "|" is the Enter key (line mark "#" and a line break).
QString assessmentText(const std::vector<const char*>& items, const Student& s)
{
    static const QRegularExpression blockId(QStringLiteral("^[A-Z][0-9]$"));
    const QString vorname = QString::fromUtf8(s.vorname);
    const bool boy = qstrcmp(s.mw, "m") == 0;
    QString text;
    for (const char* item : items) {
        const QString part = QString::fromUtf8(item);
        if (part == QLatin1String("|")) {
            text = text.trimmed() + QStringLiteral("#\r\n");
            continue;
        }
        QString sentence = part;
        if (blockId.match(part).hasMatch()) {
            const TextBlock* b = findBlock(part);
            if (!b || b->text[0] == '=')
                throw std::runtime_error("Der Textbaustein " + part.toStdString() + " fehlt");
            sentence = fillPlaceholders(QString::fromUtf8(b->text), vorname, boy);
        }
        text += sentence + QLatin1Char(' ');
    }
    return text.trimmed();
}

// "Brandt, von" is addressed as "von Brandt".
QString turnedName(const QString& name)
{
    const qsizetype comma = name.indexOf(QLatin1Char(','));
    if (comma < 0)
        return name;
    return name.mid(comma + 1).trimmed() + QLatin1Char(' ') + name.left(comma).trimmed();
}

} // namespace

std::vector<FieldValues> demoClassRecords()
{
    std::vector<FieldValues> records;
    int n = 0;
    for (const Student& s : students()) {
        ++n;
        const QString name = QString::fromUtf8(s.name);
        const QString vorname = QString::fromUtf8(s.vorname);
        const QDate born = QDate::fromString(QLatin1String(s.geboren), QStringLiteral("dd.MM.yyyy"));
        if (!born.isValid())
            throw std::runtime_error(std::string("Ungültiges Geburtsdatum ") + s.geboren);
        const QStringList grades = QString::fromLatin1(s.grades).split(QLatin1Char(' '));
        const QStringList courses = QString::fromLatin1(s.courses).split(QLatin1Char(' '));
        if (grades.size() != qsizetype(std::size(kGradeFields)) || courses.size() != 3)
            throw std::runtime_error(std::string("Unvollständige Noten bei ") + s.name);

        const bool boy = qstrcmp(s.mw, "m") == 0;
        FieldValues r;
        const auto put = [&r](const char* field, const QString& value) { r.emplace_back(QLatin1String(field), value); };
        put("NAME", name);
        put("VORNAME", vorname);
        put("MW", QLatin1String(s.mw));
        put("KLASSE", QStringLiteral("10b"));
        put("GEBOREN", QLatin1String(s.geboren));
        put("GEBORT", QString::fromUtf8(s.gebort));
        // Invented numbers of an invented exchange.
        put("TELEFON", QStringLiteral("05573 %1").arg(40117 + n * 3719 % 59000));
        put("STAATS", QString::fromUtf8(s.staats));
        put("KONF", QString::fromUtf8(s.konf));
        put("STRASSE", QString::fromUtf8(s.strasse));
        put("PLZ", s.birkenfelde ? QStringLiteral("37697") : QStringLiteral("37699"));
        put("ORT", s.birkenfelde ? QStringLiteral("Birkenfelde") : QStringLiteral("Lindenhagen"));
        const QString family = turnedName(name);
        if (s.parent) {
            const QString parent = QString::fromUtf8(s.parent);
            put("ANR1", parent);
            const bool mother = parent.startsWith(QLatin1String("Frau"));
            put("ANR2", (mother ? QStringLiteral("Sehr geehrte Frau ") : QStringLiteral("Sehr geehrter Herr ")) + family
                            + QLatin1Char(','));
        } else {
            put("ANR1", QStringLiteral("Familie ") + family);
            put("ANR2", QStringLiteral("Sehr geehrte Familie ") + family + QLatin1Char(','));
        }
        for (size_t g = 0; g < std::size(kGradeFields); ++g)
            put(kGradeFields[g], grades[static_cast<qsizetype>(g)]);
        put("KD", courses[0]);
        put("KE", courses[1]);
        put("KM", courses[2]);
        put("WPK1", QString::fromUtf8(s.wpk1));
        put("VS1", QString::number(s.vs1));
        put("UE1", QString::number(s.ue1));
        put("ABSCH", QLatin1String(s.absch));
        put("AG1", QString::fromUtf8(s.ag1));
        if (*s.ag1) {
            put("JOKE1", (boy ? QStringLiteral("Er") : QStringLiteral("Sie")) + QStringLiteral(" nahm an der AG „")
                             + QString::fromUtf8(s.ag1) + QStringLiteral("“ teil."));
        }
        put("ID", studentIdentity(born, name, vorname));
        put("TB1", assessmentText(s.tb1, s));
        if (!s.tb2.empty())
            put("TB2", assessmentText(s.tb2, s));
        records.push_back(std::move(r));
    }
    return records;
}

} // namespace zedora::templates
