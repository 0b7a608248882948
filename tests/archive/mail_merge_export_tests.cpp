// The mail-merge export from the menu: the file's bytes column by column in
// both meanings, the order of the sort order, the questions, and the open
// table left on its first record in its own order.
#include "archive/export_frame.h"
#include "core/app_context.h"

namespace zedora::test {
namespace {

const QStringList kShown{QStringLiteral("NAME"), QStringLiteral("DE"), QStringLiteral("KE"),
                         QStringLiteral("TB1"), QStringLiteral("ABSCH"), QStringLiteral("VS1"),
                         QStringLiteral("ANR1"), QStringLiteral("KLASSE"), QStringLiteral("FF1")};

std::vector<Record> twoStudents()
{
    return {{{"NAME", "Müller"}, {"VORNAME", "Jörg"}, {"KLASSE", "5A"}, {"MW", "m"}, {"DE", "1"},
             {"KE", "E"}, {"TB1", "Gut.\r\nWeiter so."}, {"ABSCH", "HS"}, {"VS1", "3"},
             {"ANR1", "  Familie; Müller  "}, {"FF1", "2"}},
            {{"NAME", "Adam"}, {"VORNAME", "Eva"}, {"KLASSE", "5B"}, {"MW", "w"}, {"DE", "k"},
             {"KE", ""}, {"ABSCH", "XY"}, {"VS1", ""}, {"FF1", "Chor"}}};
}

void setIssue(AppContext& ctx)
{
    ctx.settings.AusgabeOrt = QStringLiteral("Überlingen");
    ctx.settings.AusgabeDatum = QStringLiteral("01.02.2024");
    ctx.settings.AusgabeDatum2 = QStringLiteral("02.02.2024");
    ctx.settings.Halbjahr = QStringLiteral("1.");
    ctx.settings.Schuljahr = QStringLiteral("2023/2024");
}

TEST(MailMergeExport, WritesEveryColumnByItsRuleInBothMeanings)
{
    ExportFrame f(twoStudents(), kShown);
    setIssue(*f.ctx);
    f.ctx->settings.Sortierung = 3;  // alphabet: the file still follows the classes
    f.file->applySortOrder();
    const QString path = f.ws.root + QStringLiteral("brief");
    f.ws.ui.texts.enqueue(path);
    f.ws.ui.answers.enqueue(Answer::Yes);
    f.trigger("mailMergeMeaning1");

    const QString written = path + QStringLiteral(".DOC");
    ASSERT_EQ(f.ws.ui.messages(), QStringList{QStringLiteral("Die aktuelle Klasse (5A) wird in die Datei\n\n") +
                                              written + QStringLiteral("\n\nexportiert!\n\n")});
    // NAME once, the shown fields in file order, then the issue's settings.
    const std::string header = "NAME;VORNAME;KLASSE;DE;KE;FF1;TB1;ABSCH;VS1;ANR1;AUORT;AUDAT;AUDAT2;HJ;SJ\r\n";
    const std::string tail = ";\xdc" "berlingen;01.02.2024;02.02.2024;1.;2023/2024\r\n";
    // KLASSE order, then file order: Müller before Adam. The memo's two
    // lines become one, the ";" of the address a ",", an unknown code and
    // a value that is no abbreviation stay as they are.
    EXPECT_EQ(readBytes(written.toStdString()),
              header + "M\xfcller;J\xf6rg;5A;sehr gut;erweitert;gut;Gut. Weiter so. ;Hauptschulabschluss;3;"
                        "Familie, M\xfcller" + tail +
                  "Adam;Eva;5B;k;;Chor;;XY;;" + tail);

    // Meaning 2 onto the same file: the overwrite question comes first.
    f.ws.ui.clear();
    f.ws.ui.texts.enqueue(written);
    f.ws.ui.answers.enqueue(Answer::Yes);
    f.ws.ui.answers.enqueue(Answer::Yes);
    f.trigger("mailMergeMeaning2");
    EXPECT_EQ(f.ws.ui.beeps(), 1);
    EXPECT_EQ(f.ws.ui.messages().first(), QStringLiteral("Datei existiert bereits!\n\nSoll sie überschrieben werden?\n"));
    const std::string second = readBytes(written.toStdString());
    EXPECT_NE(second.find("M\xfcller;J\xf6rg;5A;eins;E-Kurs;zwei;"), std::string::npos) << second;
}

TEST(MailMergeExport, GirlsAndBoysOrderOnlyForThatSortOrderAndTheTableIsRestored)
{
    ExportFrame f({{{"NAME", "Cox"}, {"KLASSE", "5A"}, {"MW", "w"}},
                   {{"NAME", "Alt"}, {"KLASSE", "5A"}, {"MW", "w"}},
                   {{"NAME", "Berg"}, {"KLASSE", "5A"}, {"MW", "m"}}},
                  {QStringLiteral("KLASSE")});
    const QString path = f.ws.root + QStringLiteral("serie.doc");
    const auto names = [&] {
        QStringList out;
        const QStringList lines = QString::fromLatin1(readBytes(path.toStdString())).split(QStringLiteral("\r\n"));
        for (int i = 1; i < lines.size() && !lines[i].isEmpty(); ++i)
            out << lines[i].section(QLatin1Char(';'), 0, 0);
        return out;
    };
    f.ctx->settings.Sortierung = 2;
    f.file->applySortOrder();
    f.file->table().last();
    f.ws.ui.texts.enqueue(path);
    f.ws.ui.answers.enqueue(Answer::Yes);
    f.trigger("mailMergeMeaning1");
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Berg"), QStringLiteral("Alt"), QStringLiteral("Cox")}));
    EXPECT_EQ(f.file->table().tag(), QStringLiteral("MW"));
    EXPECT_EQ(f.file->table().currentRow(), 0);

    f.ctx->settings.Sortierung = 3;
    f.file->applySortOrder();
    f.ws.ui.texts.enqueue(path);
    f.ws.ui.answers.enqueue(Answer::Yes);
    f.ws.ui.answers.enqueue(Answer::Yes);
    f.trigger("mailMergeMeaning1");
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Alt"), QStringLiteral("Berg"), QStringLiteral("Cox")}));
    EXPECT_EQ(f.file->table().tag(), QStringLiteral("NAME"));
}

TEST(MailMergeExport, ANoToEitherQuestionLeavesTheOldFileAlone)
{
    ExportFrame f(twoStudents(), kShown);
    const QString path = f.ws.root + QStringLiteral("SERIE.DOC");
    writeBytes(path.toStdString(), "alt");
    f.ws.ui.texts.enqueue(path);
    f.ws.ui.answers.enqueue(Answer::No);
    f.trigger("mailMergeMeaning1");
    EXPECT_EQ(readBytes(path.toStdString()), "alt");

    f.ws.ui.clear();
    f.ws.ui.texts.enqueue(path);
    f.ws.ui.answers.enqueue(Answer::Yes);
    f.ws.ui.answers.enqueue(Answer::Cancel);
    f.trigger("mailMergeMeaning2");
    EXPECT_EQ(f.ws.ui.messages().size(), 2);
    EXPECT_EQ(readBytes(path.toStdString()), "alt");

    // A file that cannot be written is reported, the table still restored.
    f.ws.ui.clear();
    f.file->table().last();
    f.ws.ui.texts.enqueue(f.ws.root + QStringLiteral("fehlt/SERIE.DOC"));
    f.ws.ui.answers.enqueue(Answer::Yes);
    f.trigger("mailMergeMeaning1");
    ASSERT_EQ(f.ws.ui.messages().size(), 2);
    EXPECT_TRUE(f.ws.ui.messages().last().startsWith(QStringLiteral("Die Seriendruckdatei ")));
    EXPECT_EQ(f.file->table().currentRow(), 0);
    EXPECT_EQ(f.file->table().tag(), QStringLiteral("KLASSE"));

    // The dialog itself cancelled: nothing asked at all.
    f.ws.ui.clear();
    f.trigger("mailMergeMeaning1");
    EXPECT_TRUE(f.ws.ui.messages().isEmpty());
}

} // namespace
} // namespace zedora::test
