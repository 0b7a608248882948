// The manuals built with the program: each PDF exists in the share folder,
// is a real PDF with its title, and holds the chapters the help menu
// promises (read back with pdftotext).
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

QString pdfText(const QString& name)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral(ZEDORA_SHARE_DIR "/PDF/") + name, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString pdfInfo(const QString& name)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {QStringLiteral(ZEDORA_SHARE_DIR "/PDF/") + name});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

TEST(Manuals, UserManualHoldsEveryChapter)
{
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) << "poppler-utils fehlt";
    const QString text = pdfText(QStringLiteral("ZDR_HABU.PDF"));
    ASSERT_FALSE(text.isEmpty());
    for (const char* heading : {"Zedora 7.3 – Handbuch", "1. Programmstart", "2. Noten eintragen",
                                "3. Beurteilungen mit Textbausteinen", "4. Zeugnisse drucken", "5. Schülerfotos",
                                "6. Fortschreibung ins nächste Halbjahr", "7. Archiv, Historie, Statistiken und Export", "8. Datenimport",
                                "9. Datenaustausch per Exportdatei", "10. Aufgaben der Systembetreuung",
                                "10.5 Online-Update"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(heading))) << heading;
    const QString info = pdfInfo(QStringLiteral("ZDR_HABU.PDF"));
    EXPECT_TRUE(info.contains(QStringLiteral("Zedora – Handbuch"))) << info.toStdString();
    // Ten chapters with pictures do not fit on a handful of pages.
    const int pages = info.section(QStringLiteral("Pages:"), 1).trimmed().section(QLatin1Char('\n'), 0, 0).toInt();
    EXPECT_GE(pages, 6);
}

TEST(Manuals, FaqAndHistoryHoldTheirHeadings)
{
    const QString faq = pdfText(QStringLiteral("ZDR_FAQ.PDF"));
    for (const char* heading : {"Zedora 7.3 – Fragen und Antworten", "Start und Arbeitsordner", "Noten und Texte",
                                "Drucken", "Fotos", "Update und Datenaustausch"})
        EXPECT_TRUE(faq.contains(QString::fromUtf8(heading))) << heading;
    const QString history = pdfText(QStringLiteral("ZDR_HISTORY_7.PDF"));
    EXPECT_TRUE(history.contains(QStringLiteral("Zedora – Versionshistorie")));
    EXPECT_TRUE(history.contains(QStringLiteral("Version 7.3 (7306)")));
    // The names the help menu opens, exactly so spelled.
    for (const char* name : {"ZDR_HABU.PDF", "ZDR_FAQ.PDF", "ZDR_HISTORY_7.PDF"}) {
        QFile f(QStringLiteral(ZEDORA_SHARE_DIR "/PDF/") + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        EXPECT_TRUE(f.read(5) == "%PDF-") << name;
    }
}
