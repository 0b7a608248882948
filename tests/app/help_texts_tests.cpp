#include "core/help_texts.h"
#include "base/ansi_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

using namespace zedora;

// Readable failure messages for QString values.
static void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// The repository keeps HELPTEXT.TXT as UTF-8 with LF; the build copy is
// converted later, so the tests read the source beside this file.
QString shippedHelpTextPath()
{
    // A compiler cache may pass the source path relative to the build
    // directory; the tests run elsewhere.
    const QString source = QDir(QStringLiteral(ZEDORA_BINARY_DIR)).absoluteFilePath(QString::fromUtf8(__FILE__));
    const QDir testDir = QFileInfo(source).absoluteDir();
    return QDir::cleanPath(testDir.absoluteFilePath("../../share/HELPTEXT.TXT"));
}

QString shippedHelpText()
{
    QFile f(shippedHelpTextPath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// Every code a help line of the program asks for.
const QStringList& codesInUse()
{
    static const QStringList codes = [] {
        QStringList c;
        // main window
        for (const char* s : {"001", "002", "003", "004", "006", "007", "008", "009", "011", "012",
                              "013", "014", "015", "016", "017", "018", "019", "020", "021", "022",
                              "023", "024", "025", "026", "027", "028", "029", "030", "031", "032",
                              "083", "084", "085", "086", "089"})
            c << s;
        // global change, master-data import, text blocks
        for (const char* s : {"050", "051", "052", "061", "062", "063", "064", "065", "066", "067",
                              "068", "078", "079", "080", "081"})
            c << s;
        // settings dialog
        for (int i : {1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22,
                      23, 24, 25, 26, 27, 28, 29, 30, 31, 36, 48, 50, 51})
            c << QStringLiteral("E%1").arg(i, 2, 10, QLatin1Char('0'));
        c << "L08" << "L10";
        return c;
    }();
    return codes;
}

} // namespace

TEST(HelpTexts, ReadsWindows1252WithCrLfOrLf)
{
    QTemporaryDir dir;
    const QString crlf = dir.filePath("crlf.txt");
    const QString lf = dir.filePath("lf.txt");
    // "Schüler" and "Größe" in Windows-1252.
    writeBytes(crlf, "001 Sch\xfcler suchen\r\n002 Gr\xf6\xdf" "e\r\n");
    writeBytes(lf, "001 Sch\xfcler suchen\n002 Gr\xf6\xdf" "e");

    for (const QString& path : {crlf, lf}) {
        SCOPED_TRACE(path.toStdString());
        const HelpTexts texts = HelpTexts::load(path);
        EXPECT_FALSE(texts.fileMissing());
        EXPECT_EQ(texts.text("001"), QString::fromUtf8("Schüler suchen"));
        EXPECT_EQ(texts.text("002"), QString::fromUtf8("Größe"));
        EXPECT_EQ(texts.codes(), QStringList({"001", "002"}));
    }
}

TEST(HelpTexts, SkipsCommentsAndBlankLinesAndSplitsAtTheFirstBlank)
{
    const HelpTexts texts = HelpTexts::fromText(
        "; Kommentar 001 nicht gemeint\n"
        "\n"
        "   \n"
        "  ; eingerückter Kommentar\n"
        "001 Erster Schüler\n"
        "E01\t  Kürzel mit Tabulator   \n"
        "030\n"
        "085 Text ; mit Semikolon\n");
    EXPECT_EQ(texts.codes(), QStringList({"001", "E01", "030", "085"}));
    EXPECT_EQ(texts.text("001"), QString::fromUtf8("Erster Schüler"));
    EXPECT_EQ(texts.text("E01"), QString::fromUtf8("Kürzel mit Tabulator"));
    EXPECT_EQ(texts.text("085"), "Text ; mit Semikolon");
    // a code alone is known, with an empty text
    EXPECT_EQ(texts.text("030"), "");
}

TEST(HelpTexts, TurnsEscapesIntoLineBreaksAndBackslashes)
{
    const HelpTexts texts = HelpTexts::fromText(
        "001 Erste Zeile\\nZweite Zeile\n"
        "002 Pfad C:\\\\ZEDORA\\\\LAYOUT\n"
        "003 kein Escape: \\t und \\x bleiben, Ende\\\n"
        "004 \\\\n ist kein Umbruch\n");
    EXPECT_EQ(texts.text("001"), "Erste Zeile\nZweite Zeile");
    EXPECT_EQ(texts.text("002"), "Pfad C:\\ZEDORA\\LAYOUT");
    EXPECT_EQ(texts.text("003"), "kein Escape: \\t und \\x bleiben, Ende\\");
    EXPECT_EQ(texts.text("004"), "\\n ist kein Umbruch");
}

TEST(HelpTexts, LooksUpCodesWithoutRegardToCaseAndKeepsTheFirstOfTwins)
{
    const HelpTexts texts = HelpTexts::fromText("e01 klein geschrieben\nE01 zweite Fassung\nL08 Zeile\n");
    EXPECT_EQ(texts.text("E01"), "klein geschrieben");
    EXPECT_EQ(texts.text("e01"), "klein geschrieben");
    EXPECT_EQ(texts.text(" l08 "), "Zeile");
    EXPECT_EQ(texts.codes(), QStringList({"E01", "L08"}));
}

TEST(HelpTexts, UnknownCodeGivesAnEmptyText)
{
    const HelpTexts texts = HelpTexts::fromText("001 Historie\n");
    EXPECT_EQ(texts.text("002"), "");
    EXPECT_EQ(texts.text(""), "");
    EXPECT_EQ(texts.text("0011"), "");
    EXPECT_EQ(HelpTexts().text("001"), "");
    EXPECT_FALSE(HelpTexts().fileMissing());
}

TEST(HelpTexts, MissingOrUnreadableFileAnswersEveryCodeWithTheNotice)
{
    QTemporaryDir dir;
    const QString notice = QStringLiteral("HELPTEXT.TXT fehlt!");
    // a file that does not exist, and a folder where the file should be
    QDir(dir.path()).mkdir("HELPTEXT.TXT");
    for (const QString& path : {dir.filePath("fehlt.txt"), dir.filePath("HELPTEXT.TXT")}) {
        SCOPED_TRACE(path.toStdString());
        const HelpTexts texts = HelpTexts::load(path);
        EXPECT_TRUE(texts.fileMissing());
        EXPECT_EQ(texts.text("001"), notice);
        EXPECT_EQ(texts.text("E51"), notice);
        EXPECT_EQ(texts.text("unbekannt"), notice);
    }
    EXPECT_EQ(HelpTexts::missingText(), notice);
}

TEST(HelpTexts, BinaryFileDoesNotBreakTheLookup)
{
    QTemporaryDir dir;
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(char((i * 37 + 11) % 256));
    junk.append("\n001 danach lesbar\n");
    const QString path = dir.filePath("HELPTEXT.TXT");
    writeBytes(path, junk);
    const HelpTexts texts = HelpTexts::load(path);
    EXPECT_FALSE(texts.fileMissing());
    EXPECT_EQ(texts.text("001"), "danach lesbar");
}

TEST(ShippedHelpTexts, EveryCodeInUseHasAText)
{
    const QString source = shippedHelpText();
    ASSERT_FALSE(source.isEmpty()) << shippedHelpTextPath().toStdString();
    const HelpTexts texts = HelpTexts::fromText(source);
    for (const QString& code : codesInUse())
        EXPECT_FALSE(texts.text(code).trimmed().isEmpty()) << "no help text for " << code.toStdString();
}

TEST(ShippedHelpTexts, LinesAreWellFormedAndCodesUnique)
{
    const QString source = shippedHelpText();
    ASSERT_FALSE(source.isEmpty());
    const QStringList lines = source.split(u'\n');
    ASSERT_TRUE(lines.first().startsWith(u';')) << "the file opens with a comment on its format";

    static const QRegularExpression lineRe(QStringLiteral("^([0-9]{3}|[A-Z][0-9]{2}) \\S.*\\S$"));
    QStringList seen;
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty() || line.startsWith(u';'))
            continue;
        EXPECT_TRUE(lineRe.match(line).hasMatch()) << line.toStdString();
        const QString code = line.section(u' ', 0, 0);
        EXPECT_FALSE(seen.contains(code)) << "code twice: " << code.toStdString();
        seen << code;
    }
    // nothing but codes the program asks for
    for (const QString& code : seen)
        EXPECT_TRUE(codesInUse().contains(code)) << "unused code " << code.toStdString();
}

TEST(ShippedHelpTexts, ConvertedCopyLoadsLikeTheSource)
{
    // What the build installs: Windows-1252 with CR LF.
    const QString source = shippedHelpText();
    ASSERT_FALSE(source.isEmpty());
    QString crlf = source;
    crlf.replace("\n", "\r\n");
    QTemporaryDir dir;
    const QString path = dir.filePath("HELPTEXT.TXT");
    writeBytes(path, toAnsi(crlf));

    const HelpTexts fromSource = HelpTexts::fromText(source);
    const HelpTexts installed = HelpTexts::load(path);
    ASSERT_EQ(installed.codes(), fromSource.codes());
    for (const QString& code : fromSource.codes())
        EXPECT_EQ(installed.text(code), fromSource.text(code)) << code.toStdString();
    EXPECT_TRUE(installed.text("027").contains(QString::fromUtf8("Schüler")));
}
