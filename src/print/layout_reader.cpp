#include "print/layout_reader.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"

#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <optional>

namespace zedora {

namespace {

constexpr int kLineLimit = 250;
// Coordinates and lengths far beyond any sheet are cut here, so that the
// renderer's sums (shift, record offset, end points) cannot overflow.
constexpr int kNumberLimit = 10'000'000;

enum class Kind { None, General, Entry, Line, GradeField, TextBlock, Picture };

Kind sectionKind(const QString& line)
{
    const QStringView head = QStringView(line).left(3);
    if (head == u"[AL") return Kind::General;
    if (head == u"[EI") return Kind::Entry;
    if (head == u"[LI") return Kind::Line;
    if (head == u"[NO") return Kind::GradeField;
    if (head == u"[TE") return Kind::TextBlock;
    if (head == u"[BI") return Kind::Picture;
    return Kind::None;
}

// The three characters after the first '-', 0 when they are no number.
int sectionNumber(const QString& header)
{
    const qsizetype dash = header.indexOf(QLatin1Char('-'));
    if (dash < 0)
        return 0;
    bool ok = false;
    const int n = header.mid(dash + 1, 3).trimmed().toInt(&ok);
    return ok ? n : 0;
}

int toNumber(const QString& value)
{
    bool ok = false;
    const qlonglong n = value.trimmed().toLongLong(&ok);
    if (!ok || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return 0;
    return int(std::clamp<qlonglong>(n, -kNumberLimit, kNumberLimit));
}

// Colours keep their full 24-bit range.
int toColour(const QString& value)
{
    bool ok = false;
    const int n = value.trimmed().toInt(&ok);
    return ok ? n : 0;
}

bool toBool(const QString& value) { return toNumber(value) > 0; }

// A font size outside what the model can hold counts as "none given".
std::int16_t toSize(const QString& value)
{
    const int n = toNumber(value);
    return n > 0 && n <= std::numeric_limits<std::int16_t>::max() ? std::int16_t(n) : 0;
}

QChar toAlignment(const QString& value)
{
    const QString t = value.trimmed();
    return t.isEmpty() ? QChar() : t.front();
}

struct KeyLine {
    QString upper;  // the line with a-z upper-cased
    QString value;  // after the first '='
};

// Lines without '=' carry no key.
std::optional<KeyLine> splitKeyLine(const QString& line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return KeyLine{upperAscii(line), line.mid(eq + 1)};
}

bool starts(const KeyLine& k, const char16_t* prefix) { return k.upper.startsWith(QStringView(prefix)); }

void readGeneral(const KeyLine& k, TDruckLayout& m)
{
    const QString& v = k.value;
    if (starts(k, u"FORMULAR")) m.FormularName = v;
    else if (starts(k, u"GLOBALES")) m.GlobaleSchrift = v.left(kGlobalFontCapacity);
    else if (starts(k, u"GLOBALER")) m.GlobalerSchriftGrad = toSize(v);
    else if (starts(k, u"DATENSAT")) m.DatenSatzVorschub = toNumber(v);
    else if (starts(k, u"DATENANZ")) m.DatenAnzahl = toNumber(v);
    else if (starts(k, u"AUTOMATI")) m.Automatisch = toNumber(v);
    else if (starts(k, u"BERE")) m.Bereich = toNumber(v);
    else if (starts(k, u"VERTIKOR")) m.VertiKorrektur = toNumber(v);
    else if (starts(k, u"HORIKORR")) m.HoriKorrektur = toNumber(v);
    else if (starts(k, u"BEDEUTUN")) m.Bedeutung = toNumber(v);
    else if (starts(k, u"QUERFORM")) m.Querformat = toBool(v);
    else if (starts(k, u"PAPIERA4")) m.PapierA4 = toBool(v);
}

void readEntry(const KeyLine& k, TLayEintrag& e)
{
    const QString& v = k.value;
    if (starts(k, u"AK")) e.Aktiv = toBool(v);
    else if (starts(k, u"X=")) e.x = toNumber(v);
    else if (starts(k, u"XE")) e.xe = toNumber(v);
    else if (starts(k, u"Y=")) e.y = toNumber(v);
    else if (starts(k, u"FE")) e.Fett = toBool(v);
    else if (starts(k, u"KU")) e.Kursiv = toBool(v);
    else if (starts(k, u"IN")) {
        e.Inhalt = v.startsWith(QLatin1Char('$')) ? v.mid(1) : v;
        e.Inhalt.truncate(kElementTextCapacity);
    }
    else if (starts(k, u"FI")) e.Filter = v.left(kElementTextCapacity);
    else if (starts(k, u"GRA")) e.Grad = toSize(v);
    else if (starts(k, u"AU")) e.Ausrichtung = toAlignment(v);
    else if (starts(k, u"SC")) e.Schriftart = v.left(kFontNameCapacity);
    else if (starts(k, u"KO")) e.Kopf = toBool(v);
    else if (starts(k, u"LA")) e.LaengeMitFuell = toNumber(v);
    else if (starts(k, u"BR")) e.Breite = toNumber(v);
    else if (starts(k, u"WI")) e.Winkel = toNumber(v);
    else if (starts(k, u"FA")) e.Farbe = toColour(v);
}

void readLine(const KeyLine& k, TLayLinie& l)
{
    const QString& v = k.value;
    if (starts(k, u"AK")) l.Aktiv = toBool(v);
    else if (starts(k, u"X1")) l.x1 = toNumber(v);
    else if (starts(k, u"Y1")) l.y1 = toNumber(v);
    else if (starts(k, u"X2")) l.x2 = toNumber(v);
    else if (starts(k, u"Y2")) l.y2 = toNumber(v);
    else if (starts(k, u"FA")) l.Farbe = toColour(v);
    else if (starts(k, u"KOP")) l.Kopf = toBool(v);
    else if (starts(k, u"LA")) l.Laenge = toNumber(v);
    else if (starts(k, u"DI")) l.Dicke = toNumber(v);
}

void readGradeField(const KeyLine& k, TLayNotenfeld& n)
{
    const QString& v = k.value;
    if (starts(k, u"AK")) n.Aktiv = toBool(v);
    else if (starts(k, u"X=")) n.x = toNumber(v);
    else if (starts(k, u"Y=")) n.y = toNumber(v);
    else if (starts(k, u"FA")) n.Farbe = toColour(v);
    else if (starts(k, u"KOP")) n.Kopf = toBool(v);
    else if (starts(k, u"LA") || starts(k, u"L\u00e4")) n.Laenge = toNumber(v);
    else if (starts(k, u"HO") || starts(k, u"H\u00f6")) n.Hoehe = toNumber(v);
}

void readTextBlock(const KeyLine& k, TLayTextblock& t)
{
    const QString& v = k.value;
    if (starts(k, u"AKTI")) t.Aktiv = toBool(v);
    else if (starts(k, u"X")) t.x = toNumber(v);
    else if (starts(k, u"Y")) t.y = toNumber(v);
    else if (starts(k, u"KOPF")) t.Kopf = toBool(v);
    else if (starts(k, u"FETT")) t.Fett = toBool(v);
    else if (starts(k, u"KURS")) t.Kursiv = toBool(v);
    else if (starts(k, u"EINZ")) t.EinzugZeile1 = toNumber(v);
    else if (starts(k, u"GRAD")) t.Grad = toSize(v);
    else if (starts(k, u"AUSR")) t.Ausrichtung = toAlignment(v);
    else if (starts(k, u"SCHR")) t.Schriftart = v.left(kFontNameCapacity);
    else if (starts(k, u"INHA")) t.Inhalt = v.left(kElementTextCapacity);
    else if (starts(k, u"MAXB")) t.Maxbreite = toNumber(v);
    else if (starts(k, u"MAXZ")) t.Maxzeilen = toNumber(v);
    else if (starts(k, u"VORS")) t.Vorschub = toNumber(v);
    else if (starts(k, u"FARB")) t.Farbe = toColour(v);
}

void readPicture(const KeyLine& k, TLayBild& b)
{
    const QString& v = k.value;
    if (starts(k, u"AK")) b.Aktiv = toBool(v);
    else if (starts(k, u"X=")) b.x = toNumber(v);
    else if (starts(k, u"Y=")) b.y = toNumber(v);
    else if (starts(k, u"X2")) b.x2 = toNumber(v);
    else if (starts(k, u"Y2")) b.y2 = toNumber(v);
    else if (starts(k, u"KO")) b.Kopf = toBool(v);
    else if (starts(k, u"BI")) b.Bilddatei = v.trimmed().left(kPicturePathCapacity);
}

// Hands the key line to the reader of the section's kind; sections numbered
// outside their kind's range are skipped.
void readKey(Kind kind, int nr, const KeyLine& k, TDruckLayout& m)
{
    auto inRange = [nr](int first, int last) { return nr >= first && nr <= last; };
    switch (kind) {
    case Kind::General: readGeneral(k, m); break;
    case Kind::Entry: if (inRange(kEintragFirst, kEintragLast)) readEntry(k, m.eintrag(nr)); break;
    case Kind::Line: if (inRange(kLinieFirst, kLinieLast)) readLine(k, m.linie(nr)); break;
    case Kind::GradeField:
        if (inRange(kNotenfeldFirst, kNotenfeldLast)) readGradeField(k, m.notenfeld(nr));
        break;
    case Kind::TextBlock:
        if (inRange(kTextblockFirst, kTextblockLast)) readTextBlock(k, m.textblock(nr));
        break;
    case Kind::Picture: if (inRange(kBildFirst, kBildLast)) readPicture(k, m.bild(nr)); break;
    case Kind::None: break;
    }
}

bool outside(int x, int y, const TDruckLayout& m)
{
    return x < 0 || x > m.Blattbreite || y < 0 || y > m.Blatthoehe;
}

bool isBlankAlignment(QChar c) { return c.isNull() || c.isSpace(); }

bool isAbsolute(const QString& path)
{
    if (path.startsWith(QLatin1Char('/')) || path.startsWith(QLatin1Char('\\')))
        return true;
    return path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter();
}

void postProcess(TDruckLayout& m, const QString& pictureFolder, const QString& workspaceDir)
{
    if (m.Bereich > 1 || m.Bereich < 0)
        m.Bereich = 0;
    // Anything but the three fixed formats leaves the choice to the print centre.
    if (m.Bedeutung > 2 || m.Bedeutung < 0)
        m.Bedeutung = -1;
    m.Tabellenmodus = m.DatenSatzVorschub != 0;
    m.DatenAnzahl = (m.Tabellenmodus && m.Automatisch >= 1) ? m.DatenAnzahl : 0;
    if (!m.Tabellenmodus)
        m.Bereich = 0;
    if (m.GlobaleSchrift.trimmed().isEmpty())
        m.GlobaleSchrift = QStringLiteral("ARIAL");
    if (m.GlobalerSchriftGrad <= 0)
        m.GlobalerSchriftGrad = 12;
    m.Blattbreite = sheetWidth(m.PapierA4, m.Querformat);
    m.Blatthoehe = sheetHeight(m.PapierA4, m.Querformat);

    for (TLayEintrag& e : m.Eintraege) {
        if (!e.Aktiv)
            continue;
        if (isBlankAlignment(e.Ausrichtung))
            e.Ausrichtung = u'L';
        if (e.Ausrichtung != u'L')
            e.LaengeMitFuell = 0;
        if (e.Grad == 0)
            e.Grad = m.GlobalerSchriftGrad;
        if (e.Schriftart.trimmed().isEmpty())
            e.Schriftart = m.GlobaleSchrift;
        if (outside(e.x, e.y, m))
            e.Aktiv = false;
    }
    for (TLayLinie& l : m.Linien) {
        if (!l.Aktiv)
            continue;
        if (l.Laenge > 0) {
            l.x2 = l.x1 + l.Laenge;
            l.y2 = l.y1;
        }
        if (l.Dicke < 1)
            l.Dicke = 1;
        if (outside(l.x1, l.y1, m))
            l.Aktiv = false;
    }
    for (TLayNotenfeld& n : m.Notenfelder) {
        if (!n.Aktiv)
            continue;
        if (n.Hoehe < 1 || n.Laenge < 1 || outside(n.x, n.y, m))
            n.Aktiv = false;
    }
    for (TLayTextblock& t : m.Textbloecke) {
        if (!t.Aktiv)
            continue;
        if (isBlankAlignment(t.Ausrichtung))
            t.Ausrichtung = u'L';
        if (t.Schriftart.trimmed().isEmpty())
            t.Schriftart = m.GlobaleSchrift;
        if (t.Grad == 0)
            t.Grad = m.GlobalerSchriftGrad;
        if (t.Vorschub < 1)
            t.Vorschub = 40;
        if (t.Maxzeilen < 1)
            t.Maxzeilen = 1;
        if (outside(t.x, t.y, m))
            t.Aktiv = false;
    }
    for (TLayBild& b : m.Bilder) {
        if (!b.Aktiv)
            continue;
        if (b.Bilddatei.isEmpty()) {
            b.Aktiv = false;
            continue;
        }
        // A bare file name lives beside the layout; '/' counts as a folder
        // separator as well, so paths written on this system stay as they are.
        const bool hasFolder = b.Bilddatei.contains(QLatin1Char('\\'))
                               || b.Bilddatei.contains(QLatin1Char('/'));
        const bool photo = upperAscii(b.Bilddatei).contains(QLatin1String("%SCH"));
        if (!hasFolder && !photo && !pictureFolder.isEmpty())
            b.Bilddatei = joinPath(pictureFolder, b.Bilddatei);
        else if (hasFolder && !photo && !workspaceDir.isEmpty() && !isAbsolute(b.Bilddatei))
            b.Bilddatei = joinPath(workspaceDir, b.Bilddatei);
        if (outside(b.x, b.y, m))
            b.Aktiv = false;
    }
}

} // namespace

int sheetWidth(bool a4, bool landscape)
{
    if (a4)
        return landscape ? 2970 : 2100;
    return landscape ? 4200 : 2970;
}

int sheetHeight(bool a4, bool landscape)
{
    if (a4)
        return landscape ? 2100 : 2970;
    return landscape ? 2970 : 4200;
}

void parseLayoutText(const QStringList& layoutText, const QString& pictureFolder, TDruckLayout& model,
                     const QString& workspaceDir)
{
    model = TDruckLayout{};

    const qsizetype count = layoutText.size();
    qsizetype i = 0;
    while (i < count) {
        const QString header = layoutText[i].left(kLineLimit);
        ++i;
        const Kind kind = sectionKind(header);
        if (kind == Kind::None)
            continue;
        const int nr = kind == Kind::General ? 0 : sectionNumber(header);
        while (i < count) {
            const QString line = layoutText[i].left(kLineLimit);
            // A header right after a key line opens the next section.
            if (line.startsWith(QLatin1Char('[')))
                break;
            ++i;
            if (line.trimmed().isEmpty())
                break;
            if (const auto key = splitKeyLine(line))
                readKey(kind, nr, *key, model);
        }
    }
    postProcess(model, pictureFolder, workspaceDir);
}

bool parseLayoutForPrinting(const QString& layoutPath, const QStringList& layoutText,
                            TDruckLayout& model, Interaction* ui, const QString& workspaceDir)
{
    const QString path = resolvePath(layoutPath.trimmed());
    const QFileInfo info(path);
    if (layoutPath.trimmed().isEmpty() || !info.isFile())
        return false;
    std::optional<BusyScope> busy;
    if (ui)
        busy.emplace(*ui);
    parseLayoutText(layoutText, info.absolutePath(), model, workspaceDir);
    model.Dateiname = path;
    return true;
}

} // namespace zedora
