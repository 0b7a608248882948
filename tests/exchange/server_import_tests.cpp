// The school-server read against the private MariaDB server of the TOLVO
// fixture: the raw answer, the shaped import table, the first-name options,
// refused logins, absent and silent servers, and the ANSI conversion.
#include "exchange/server_import.h"
#include "exchange_support.h"
#include "tolvo_server.h"

#include <QFile>
#include <QTextStream>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace zedora::test {
namespace {

// The expected import table of the fixture: id, NAME, VORNAME, MW (as the
// server sends it), KLASSE, WPK1-4, AG1-3, course levels, GEBOREN.
const char* const kExpected = R"(
| 101 | Albrecht | Hannah | w | 5a |  |  |  |  | Schulgarten-AG | Chor | Theater-AG |  | 14.09.2012 |
| 102 | Bäcker | Jonas | m | 5a |  |  |  |  |  | Fußball-AG |  |  | 03.02.2013 |
| 103 | Çelik | Elif | w | 5a |  |  |  |  | Chor |  |  |  | 27.11.2012 |
| 104 | Dreßler | Paul | m | 5a |  |  |  |  | Schach-AG |  |  |  | 30.05.2013 |
| 105 | Fuchs | Mia | w | 5a |  |  |  |  |  |  |  |  | 21.08.2012 |
| 106 | Groß | Leon | m | 5a |  |  |  |  |  | Fußball-AG |  |  | 11.01.2013 |
| 107 | Hüsing | Emma | w | 5a |  |  |  |  |  |  | Theater-AG |  | 02.12.2012 |
| 108 | Köhler | Finn | m | 5a |  |  |  |  | Roboter-AG |  |  |  | 17.03.2013 |
| 109 | Kowalski | Zofia | w | 5a |  |  |  |  | Chor |  |  |  | 05.10.2012 |
| 110 | Müller | Lea | w | 5a |  |  |  |  | Schulgarten-AG |  |  |  | 09.04.2013 |
| 111 | Nguyen | Minh Anh | w | 5a |  |  |  |  |  |  |  |  | 30.09.2012 |
| 112 | Özdemir | Can | m | 5a |  |  |  |  | Schach-AG | Fußball-AG |  |  | 22.06.2013 |
| 113 | Schäfer | Lina | w | 5a |  |  |  |  |  |  |  |  | 12.11.2012 |
| 114 | Strauß | Noah | m | 5a |  |  |  |  |  |  |  |  | 01.07.2013 |
| 116 | Arslan | Yusuf | m | 5b |  |  |  |  |  | Fußball-AG |  |  | 25.01.2013 |
| 117 | Becker | Clara | w | 5b |  |  |  |  | Chor |  |  |  | 30.08.2012 |
| 118 | Böhm | Felix | m | 5b |  |  |  |  | Schach-AG |  |  |  | 03.03.2013 |
| 119 | Brandt | Paul | m | 5b |  |  |  |  | Roboter-AG |  |  |  | 10.10.2012 |
| 120 | Kühn | Ida | w | 5b |  |  |  |  |  |  |  |  | 14.02.2013 |
| 121 | Lange | Emil | m | 5b |  |  |  |  |  |  |  |  | 28.12.2012 |
| 122 | Meißner | Johanna | w | 5b |  |  |  |  |  |  | Theater-AG |  | 05.05.2013 |
| 123 | Petersen | Ole | m | 5b |  |  |  |  |  | Fußball-AG |  |  | 09.09.2012 |
| 124 | Richter | Lotta | w | 5b |  |  |  |  | Schulgarten-AG | Chor |  |  | 18.04.2013 |
| 125 | Sommer | Ben | m | 5b |  |  |  |  |  |  |  |  | 06.06.2013 |
| 126 | Thomsen | Marie | w | 5b |  |  |  |  | Chor |  |  |  |  |
| 127 | Vogel | Zoé | w | 5b |  |  |  |  |  |  |  |  | 23.11.2012 |
| 128 | Wolff | Henri | m | 5b |  |  |  |  | Schach-AG |  |  |  | 07.01.2013 |
| 130 | Adler | Ben | m | 7c | WPK Französisch 7 |  |  | Profil Wirtschaft |  | Fußball-AG |  | -MG-EG-DG-NG | 02.10.2010 |
| 131 | Brandt | Sophie | w | 7c | WPK Spanisch 7 | WPK Informatik 7 |  |  |  |  | Theater-AG | -ME-EE-DE-NE | 19.01.2011 |
| 132 | Müller, von | Konstantin | m | 7c | WPK Französisch 7 |  | Profil Darstellendes Spiel |  | Schach-AG |  |  | -MA-EE | 24.12.2010 |
| 133 | Nowak | Kacper | m | 7c |  | WPK Technik 7 |  |  | Chor |  |  | -MB-EB-NB | 08.03.2011 |
| 134 | Öztürk | Emre | m | 7c | WPK Französisch 7 |  |  |  |  |  |  | -MZ-EB-DG-NE | 14.05.2011 |
| 135 | Schröder | Lukas | m | 7c | WPK Spanisch 7 | WPK Technik 7 |  |  |  |  |  | -MG-EA | 29.11.2010 |
| 136 | Krüger | Lara | w | 7c | Kunstwerkstatt | Musikpraxis | Sportprofil | Medienkunde |  |  |  | -MG-EG-DG-NG | 08.02.2011 |
| 137 | Weiß | Max | m | 7c | Gesunde Ernährung | WPK Informatik 7 |  |  |  |  |  | -ME-EG | 15.08.2010 |
| 138 | Jäger | Greta | w | 7c |  |  |  |  | Schach-AG | Fußball-AG | Theater-AG | -MA-EA-DA | 26.04.2011 |
| 139 | Hoffmann | Jakob | m | 7c |  |  |  |  |  | Schülerzeitung |  | -MB-EA | 12.09.2010 |
| 140 | Lehmann | Moritz | m | 7c |  |  |  |  |  |  |  | -MA-D | 30.06.2011 |
| 141 | Yilmaz | Derya | w | 7c |  |  |  |  |  |  |  | -MG-EG | 21.03.2011 |
| 142 | Sander | Kim | d | 7c |  |  |  |  |  |  |  | -ME-EE-DE-NE | 05.12.2010 |
| 143 | Schulz | Hanna | w | 7c |  |  |  |  |  |  |  | -MG-EG |  |
| 144 | Wagner | Elias | m | 7c |  | WPK Technik 7 |  | Profil Wirtschaft | Roboter-AG |  |  | -MG-EE-DG-NG | 21.10.2010 |
)";

class ServerImport : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new TolvoServer; }
    static void TearDownTestSuite()
    {
        delete server_;
        server_ = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(server_->running()) << "The TOLVO test server did not start:\n" << server_->log();
        ws.settings.TolvoHost = QStringLiteral("127.0.0.1");
        ws.settings.TolvoPort = server_->port();
        ws.settings.TolvoDBName = QStringLiteral("TOLVO");
    }
    ServerLogin login(const QString& user = QStringLiteral("tolvo"), const QString& password = QStringLiteral("tolvo"))
    {
        return serverLogin(ws.settings, user, password);
    }
    static TolvoServer* server_;
    Workspace ws;
    ImportTable table;
};
TolvoServer* ServerImport::server_ = nullptr;

TEST_F(ServerImport, QueryAndRawAnswerAreTheFixturesOwn)
{
    QFile q(fixture(QStringLiteral("tolvo/query.sql")));
    ASSERT_TRUE(q.open(QIODevice::ReadOnly));
    EXPECT_EQ(serverQuery(0), QString::fromUtf8(q.readAll()));

    const ServerAnswer answer = queryServer(login(), serverQuery(0), true);
    ASSERT_TRUE(answer.ok) << answer.error.toStdString();
    EXPECT_EQ(answer.replaced, 0);
    QFile tsv(fixture(QStringLiteral("tolvo/expected-raw.tsv")));
    ASSERT_TRUE(tsv.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(tsv.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 144);
    EXPECT_EQ(answer.raw.header, lines.takeFirst().split(QLatin1Char('\t')));
    ASSERT_EQ(answer.raw.rows.size(), 143u);
    for (int i = 0; i < lines.size(); ++i) {
        QStringList expected = lines[i].split(QLatin1Char('\t'));
        for (QString& v : expected)
            if (v == QStringLiteral("NULL"))
                v.clear();
        // Received as UTF-8, kept in the ANSI code page: every text fits.
        EXPECT_EQ(answer.raw.rows[static_cast<size_t>(i)], expected) << "row " << i + 1;
    }
}

TEST_F(ServerImport, ReproducesTheExpectedImportTable)
{
    ASSERT_TRUE(readServerSource(login(), ws.settings, table, ws.ui));
    EXPECT_TRUE(ws.ui.messages().isEmpty()) << ws.ui.messages().join(QLatin1Char('|')).toStdString();
    const QStringList lines = QString::fromUtf8(kExpected).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(table.studentCount(), lines.size());
    const int columns[] = {ImportColumn::Name, ImportColumn::Vorname, ImportColumn::MW, ImportColumn::Klasse,
                           ImportColumn::WPK1, ImportColumn::WPK2, ImportColumn::WPK3, ImportColumn::WPK4,
                           ImportColumn::AG1, ImportColumn::AG2, ImportColumn::AG3, ImportColumn::KM,
                           ImportColumn::Geboren};
    for (int r = 1; r <= table.studentCount(); ++r) {
        QStringList cells = lines[r - 1].split(QLatin1Char('|'));
        cells = cells.mid(2, 13);   // without the leading empty cell and the id
        ASSERT_EQ(cells.size(), 13);
        for (int c = 0; c < 13; ++c) {
            QString expected = cells[c].trimmed();
            if (columns[c] == ImportColumn::MW)
                expected = expected == QStringLiteral("w") ? QStringLiteral("w") : QStringLiteral("m");
            EXPECT_EQ(table.cell(r, columns[c]), expected)
                << "row " << r << " column " << ImportTable::caption(columns[c]).toStdString();
        }
    }
    // Identity, guardians, address of selected students.
    const ImportRow& albrecht = table.row(1);
    EXPECT_EQ(albrecht[ImportColumn::ZedoraID], QStringLiteral("41166ALBHANNAH"));
    EXPECT_EQ(albrecht[ImportColumn::ANR1], QStringLiteral("Katrin  Albrecht"));
    EXPECT_EQ(albrecht[ImportColumn::Konf], QStringLiteral("evangelisch-lutherisch"));
    const ImportRow& wagner = table.row(42);
    EXPECT_EQ(wagner[ImportColumn::StammF2], QStringLiteral("IGS Kreyenbrück"));
    EXPECT_EQ(wagner[ImportColumn::Strasse], QStringLiteral("Meerweg 12"));
    EXPECT_EQ(wagner[ImportColumn::PLZ], QStringLiteral("26133"));
    EXPECT_EQ(table.row(25)[ImportColumn::Name], QStringLiteral("Thomsen"));
    EXPECT_EQ(table.row(25)[ImportColumn::ZedoraID], QString());   // 0000-00-00
}

TEST_F(ServerImport, FirstNameOptionsAndSubjectNames)
{
    ws.settings.TolvoVornamenOption = 1;
    ws.settings.TolvoWPKBez = false;
    ws.settings.TolvoAGBez = false;
    ASSERT_TRUE(readServerSource(login(), ws.settings, table, ws.ui));
    EXPECT_EQ(table.cell(1, ImportColumn::Vorname), QStringLiteral("Hannah Sophie"));
    EXPECT_EQ(table.cell(1, ImportColumn::AG3), QStringLiteral("Darstellendes Spiel"));
    const int adler = 28;
    EXPECT_EQ(table.cell(adler, ImportColumn::Name), QStringLiteral("Adler"));
    EXPECT_EQ(table.cell(adler, ImportColumn::Vorname), QStringLiteral("Benjamin Luca"));
    EXPECT_EQ(table.cell(adler, ImportColumn::WPK1), QStringLiteral("Französisch"));
    ws.settings.TolvoVornamenOption = 2;
    ASSERT_TRUE(readServerSource(login(), ws.settings, table, ws.ui));
    EXPECT_EQ(table.cell(adler, ImportColumn::Vorname), QStringLiteral("Benjamin"));
}

TEST_F(ServerImport, RefusedLoginAndFailedQueryShowTheLibrarysText)
{
    EXPECT_FALSE(readServerSource(login(QStringLiteral("tolvo"), QStringLiteral("falsch")), ws.settings, table, ws.ui));
    ASSERT_EQ(ws.ui.messages().size(), 1);
    EXPECT_EQ(ws.ui.messages()[0],
              QStringLiteral("Fehler beim Verbinden: \nAccess denied for user 'tolvo'@'127.0.0.1' (using password: YES)"));
    EXPECT_EQ(table.studentCount(), 0);

    ws.ui.clear();
    ws.settings.TolvoDBName = QStringLiteral("mysql");   // no school tables there
    EXPECT_FALSE(readServerSource(login(QStringLiteral("root"), QString()), ws.settings, table, ws.ui));
    ASSERT_EQ(ws.ui.messages().size(), 1);
    EXPECT_TRUE(ws.ui.messages()[0].startsWith(QStringLiteral("Abfrage fehlgeschlagen: Table 'mysql.schueler' doesn't exist")))
        << ws.ui.messages()[0].toStdString();
}

TEST_F(ServerImport, SlowQueryEndsWithTheReadTimeout)
{
    ServerLogin l = login();
    l.readTimeoutSeconds = 1;
    const ServerAnswer answer = queryServer(l, QStringLiteral("select sleep(20)"), true);
    EXPECT_TRUE(answer.connected);
    EXPECT_FALSE(answer.ok);
    EXPECT_FALSE(answer.error.isEmpty());
}

TEST_F(ServerImport, CharactersOutsideTheAnsiCodePageAreReplacedAndCounted)
{
    // Ł and ź have no Windows-1252 byte, ó and Ž do; FC alone is no UTF-8.
    const ServerAnswer answer =
        queryServer(login(), QStringLiteral("select 'Łódź' as a, 'Žiga' as b, unhex('4BFC686E') as c"), true);
    ASSERT_TRUE(answer.ok) << answer.error.toStdString();
    ASSERT_EQ(answer.raw.rows.size(), 1u);
    EXPECT_EQ(answer.raw.rows[0], (QStringList{"?ód?", "Žiga", "K?hn"}));
    EXPECT_EQ(answer.replaced, 3);
    // Without the conversion the bytes are taken as they come.
    const ServerAnswer raw = queryServer(login(), QStringLiteral("select unhex('4BFC686E')"), false);
    ASSERT_TRUE(raw.ok);
    EXPECT_EQ(raw.raw.rows[0], QStringList{QStringLiteral("Kühn")});
}

TEST(ServerUnreachable, AbsentServerIsReported)
{
    Workspace ws;
    ImportTable table;
    ws.settings.TolvoHost = QStringLiteral("127.0.0.1");
    ws.settings.TolvoPort = freePort();
    EXPECT_FALSE(readServerSource(serverLogin(ws.settings, QStringLiteral("tolvo"), QStringLiteral("tolvo")),
                                  ws.settings, table, ws.ui));
    ASSERT_EQ(ws.ui.messages().size(), 1);
    EXPECT_TRUE(ws.ui.messages()[0].startsWith(QStringLiteral("Fehler beim Verbinden: \nCan't connect to server on '127.0.0.1'")))
        << ws.ui.messages()[0].toStdString();
}

TEST(ServerUnreachable, SilentServerEndsWithTheConnectTimeout)
{
    // Accepts the connection and never says a word.
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    ASSERT_EQ(::listen(s, 4), 0);
    ASSERT_EQ(::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len), 0);

    ServerLogin l;
    l.host = QStringLiteral("127.0.0.1");
    l.port = ntohs(a.sin_port);
    l.database = QStringLiteral("TOLVO");
    l.user = QStringLiteral("tolvo");
    l.connectTimeoutSeconds = 1;
    l.readTimeoutSeconds = 1;
    const ServerAnswer answer = queryServer(l, serverQuery(0), true);
    ::close(s);
    EXPECT_FALSE(answer.connected);
    EXPECT_FALSE(answer.error.isEmpty());
}

TEST(AnsiConversionOfServerTexts, CountsWhatTheCodePageCannotHold)
{
    AnsiConversion c;
    EXPECT_EQ(c.convert(QByteArray("Gr\xc3\xbc\xc3\x9f \xe2\x82\xac")), QStringLiteral("Grüß €"));
    EXPECT_EQ(c.replaced, 0);
    EXPECT_EQ(c.convert(QByteArray("\xf0\x9f\x98\x80 Ok")), QStringLiteral("? Ok"));   // one emoji, one mark
    EXPECT_EQ(c.convert(QByteArray("\xc5\x81ukasz")), QStringLiteral("?ukasz"));
    EXPECT_EQ(c.convert(QByteArray("M\xfcller")), QStringLiteral("M?ller"));
    EXPECT_EQ(c.replaced, 3);
}

TEST(ServerTexts, NamesOutsideTheAnsiCodePageAreMarkedCountedAndNamed)
{
    // A server of its own: its data are changed.
    TolvoServer server;
    ASSERT_TRUE(server.running()) << "The TOLVO test server did not start:\n" << server.log();
    Workspace ws;
    ws.settings.TolvoHost = QStringLiteral("127.0.0.1");
    ws.settings.TolvoPort = server.port();
    const ServerLogin root = serverLogin(ws.settings, QStringLiteral("root"), QString());
    const ServerAnswer update =
        queryServer(root, QStringLiteral("update person set Rufname='Łukasz', Geburtsort='Łódź' where id=102"), true);
    ASSERT_TRUE(update.ok) << update.error.toStdString();
    ImportTable table;
    ASSERT_TRUE(readServerSource(root, ws.settings, table, ws.ui));
    EXPECT_EQ(table.cell(2, ImportColumn::Vorname), QStringLiteral("?ukasz"));
    EXPECT_EQ(table.cell(2, ImportColumn::GebOrt), QStringLiteral("?ód?"));
    EXPECT_EQ(table.cell(2, ImportColumn::ZedoraID), QStringLiteral("41308BäC?UKASZ"));
    ASSERT_FALSE(ws.ui.messages().isEmpty());
    // Bäcker has two rows: both are counted.
    EXPECT_EQ(ws.ui.messages().last(),
              QStringLiteral("6 Zeichen der Serverdaten gibt es im Windows-Zeichensatz nicht;\nsie wurden durch \"?\" ersetzt. "
                             "Bitte die Namen prüfen!\n\nDas erste: Zeile 5, Spalte Rufname: ?ukasz"));
}

} // namespace
} // namespace zedora::test
