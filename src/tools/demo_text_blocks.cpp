// The demo text blocks: one topic heading per subject area, then the blocks
// of that area. IDs are the topic letter and one digit, so the index order
// (by ID) keeps every heading above its blocks.
#include "tools/demo_templates.h"

#include <QRegularExpression>
#include <stdexcept>

namespace zedora::templates {

const std::vector<TextBlock>& demoTextBlocks()
{
    static const std::vector<TextBlock> blocks{
        {"A", "=Arbeitsverhalten"},
        {"A1", "%VORNAME% arbeitet im Unterricht stets aufmerksam und konzentriert mit und bringt sich mit guten Beiträgen ein."},
        {"A2", "%VORNAME% beteiligt sich regelmäßig am Unterricht; %seinIhr%e Beiträge sind meist durchdacht und bringen die Klasse weiter."},
        {"A3", "%VORNAME% folgt dem Unterricht meist aufmerksam, meldet sich aber nur selten von sich aus zu Wort."},
        {"A4", "%VORNAME% lässt sich im Unterricht leicht ablenken und braucht häufig Erinnerungen, um bei der Sache zu bleiben."},
        {"A5", "%ErSie% erledigt %seinIhr%e Hausaufgaben zuverlässig, sorgfältig und vollständig."},
        {"A6", "%ErSie% erledigt %seinIhr%e Hausaufgaben nicht immer vollständig; hier wünschen wir uns mehr Verlässlichkeit."},
        {"A7", "%ErSie% arbeitet selbstständig und zielstrebig und teilt sich %seinIhr%e Zeit gut ein."},
        {"A8", "Bei schwierigen Aufgaben gibt %erSie% nicht auf, sondern sucht beharrlich nach einem Lösungsweg."},
        {"A9", "%SeinIhr%e Hefte und Mappen führt %erSie% ordentlich und übersichtlich."},

        {"B", "=Bemerkungen"},
        {"B1", "%ErSie% hat im Schulsanitätsdienst mitgearbeitet und dabei zuverlässig Verantwortung übernommen."},
        {"B2", "%ErSie% hat das dreiwöchige Betriebspraktikum mit großem Engagement absolviert und ein sehr gutes Praktikumszeugnis erhalten."},
        {"B3", "%ErSie% hat in der Redaktion der Schülerzeitung mitgewirkt."},
        {"B4", "%ErSie% hat erfolgreich am Mathematik-Wettbewerb der Schule teilgenommen."},
        {"B5", "%ErSie% hat im Schulchor mitgewirkt und bei mehreren Auftritten mitgesungen."},
        {"B6", "%ErSie% hat in diesem Halbjahr viel Unterricht versäumt; den versäumten Stoff muss %erSie% eigenständig nacharbeiten."},
        {"B7", "Die Versetzung ist zurzeit gefährdet."},
        {"B8", "%ErSie% verlässt die Schule zum Ende des Schuljahres. Für %seinIhr%en weiteren Weg wünschen wir %ihmIhr% alles Gute."},
        {"B9", "%ErSie% hat als Klassenvertretung die Anliegen der Klasse engagiert und fair vertreten."},

        {"D", "=Deutsch"},
        {"D1", "Im Fach Deutsch liest %VORNAME% flüssig und sinnerfassend und kann Texte sicher zusammenfassen und deuten."},
        {"D2", "%SeinIhr%e Aufsätze sind klar gegliedert, abwechslungsreich formuliert und inhaltlich überzeugend."},
        {"D3", "In %seinIhr%en Texten sollte %erSie% stärker auf Rechtschreibung und Zeichensetzung achten."},
        {"D4", "%ErSie% drückt sich mündlich gewandt aus und vertritt %seinIhr%e Meinung in Diskussionen mit guten Argumenten."},
        {"D5", "Beim Erörtern gelingt es %ihmIhr% zunehmend, Argumente zu gewichten und schlüssig anzuordnen."},
        {"D6", "Die gemeinsame Lektüre hat %erSie% mit Interesse verfolgt und in Gesprächen eigene Deutungen eingebracht."},
        {"D7", "Beim Schreiben längerer Texte braucht %erSie% noch Unterstützung, %seinIhr%e Sprachsicherheit wächst jedoch spürbar."},
        {"D8", "%SeinIhr% Referat über ein selbst gewähltes Jugendbuch war anschaulich und gut vorbereitet."},

        {"E", "=Englisch"},
        {"E1", "Im Fach Englisch verfügt %VORNAME% über einen großen Wortschatz und spricht flüssig und weitgehend fehlerfrei."},
        {"E2", "%ErSie% versteht gesprochene und geschriebene englische Texte sicher und beantwortet Fragen dazu selbstständig."},
        {"E3", "Im Englischunterricht arbeitet %erSie% gern mit, traut sich aber noch zu selten, frei zu sprechen."},
        {"E4", "Den neuen Wortschatz sollte %erSie% regelmäßiger wiederholen; dann werden auch %seinIhr%e schriftlichen Leistungen sicherer."},
        {"E5", "In der Grammatik arbeitet %erSie% sorgfältig; die Zeitformen wendet %erSie% inzwischen sicher an."},
        {"E6", "%SeinIhr%e Präsentation in englischer Sprache war gut verständlich und frei vorgetragen."},

        {"F", "=Empfehlungen"},
        {"F1", "Wir empfehlen, den englischen Wortschatz täglich in kleinen Portionen zu wiederholen."},
        {"F2", "Zur Festigung der Rechtschreibung empfehlen wir die Teilnahme am Förderkurs Deutsch."},
        {"F3", "Die Teilnahme am Förderunterricht Mathematik wird dringend empfohlen."},
        {"F4", "Wir empfehlen regelmäßiges Lesen, damit Lesetempo und Ausdruck weiter wachsen."},
        {"F5", "%ErSie% sollte sich häufiger mündlich beteiligen und %seinIhr%e Ideen in den Unterricht einbringen."},
        {"F6", "Für den Übergang in die gymnasiale Oberstufe bringt %erSie% gute Voraussetzungen mit."},
        {"F7", "Eine Arbeitsgemeinschaft im naturwissenschaftlichen Bereich könnte %seinIhr%e Begabung weiter fördern."},
        {"F8", "Wir empfehlen, Klassenarbeiten frühzeitig und mit einem festen Lernplan vorzubereiten."},

        {"K", "=Kunst, Musik, Sport"},
        {"K1", "Im Sport zeigt %erSie% großen Einsatz und verhält sich in Mannschaftsspielen stets fair."},
        {"K2", "Im Kunstunterricht gestaltet %erSie% %seinIhr%e Arbeiten fantasievoll und mit viel Sorgfalt."},
        {"K3", "Im Musikunterricht bringt %erSie% sich mit Freude beim gemeinsamen Musizieren ein."},

        {"L", "=Lernentwicklung"},
        {"L1", "%VORNAME% hat im vergangenen Halbjahr deutliche Fortschritte gemacht."},
        {"L2", "%SeinIhr% Leistungsstand ist insgesamt erfreulich; darauf kann %erSie% gut aufbauen."},
        {"L3", "%SeinIhr%e Leistungen sind in allen Fächern gleichmäßig gut."},
        {"L4", "%SeinIhr%e Leistungen schwanken noch stark; mit mehr Ausdauer kann %erSie% deutlich bessere Ergebnisse erreichen."},
        {"L5", "Wenn %erSie% %seinIhr%e Fähigkeiten konsequent nutzt, sind in mehreren Fächern bessere Ergebnisse möglich."},
        {"L6", "Mit %seinIhr%en Leistungen kann %erSie% zufrieden sein."},

        {"M", "=Mathematik"},
        {"M1", "In Mathematik erfasst %VORNAME% neue Inhalte schnell und löst auch anspruchsvolle Aufgaben sicher."},
        {"M2", "In Mathematik rechnet %erSie% zuverlässig und stellt %seinIhr%e Lösungswege nachvollziehbar dar."},
        {"M3", "Bei Textaufgaben in Mathematik braucht %erSie% noch Hilfe, um den passenden Lösungsweg zu finden."},
        {"M4", "Mit quadratischen Funktionen und Gleichungen geht %erSie% sicher um."},
        {"M5", "Die grundlegenden Rechenfertigkeiten sollte %erSie% durch regelmäßiges Üben festigen, damit sich Flüchtigkeitsfehler verringern."},
        {"M6", "In Mathematik arbeitet %erSie% ausdauernd und hat %seinIhr%e Leistungen im Laufe des Halbjahres merklich verbessert."},
        {"M7", "In der Geometrie zeichnet %erSie% genau und begründet %seinIhr%e Ergebnisse schlüssig."},

        {"N", "=Naturwissenschaften"},
        {"N1", "In den naturwissenschaftlichen Fächern zeigt %VORNAME% großes Interesse und stellt kluge Fragen."},
        {"N2", "Versuche plant und führt %erSie% sorgfältig durch und hält %seinIhr%e Beobachtungen genau fest."},
        {"N3", "Fachbegriffe sollte %erSie% sicherer verwenden und Zusammenhänge genauer beschreiben."},
        {"N4", "%ErSie% kann naturwissenschaftliche Zusammenhänge mit eigenen Worten verständlich erklären."},

        {"S", "=Sozialverhalten"},
        {"S1", "%ErSie% ist in der Klassengemeinschaft gut eingebunden und begegnet allen freundlich und hilfsbereit."},
        {"S2", "%ErSie% hält sich an die vereinbarten Regeln und trägt so zu einer angenehmen Lernatmosphäre bei."},
        {"S3", "In Gruppenarbeiten übernimmt %erSie% gern Verantwortung und bezieht andere in die Arbeit ein."},
        {"S4", "%ErSie% hilft Mitschülerinnen und Mitschülern bereitwillig, wenn diese etwas nicht verstanden haben."},
        {"S5", "Konflikte versucht %erSie% zunehmend im ruhigen Gespräch zu lösen."},
        {"S6", "Durch Nebengespräche stört %erSie% den Unterricht gelegentlich; daran sollte %erSie% weiterarbeiten."},
        {"S7", "%ErSie% ist eher zurückhaltend, arbeitet mit anderen aber verlässlich und freundlich zusammen."},
        {"S8", "%ErSie% geht mit Kritik sachlich um und kann eigene Fehler eingestehen."},
        {"S9", "Gegenüber Mitschülerinnen und Mitschülern tritt %erSie% gelegentlich zu heftig auf; hier erwarten wir mehr Rücksicht."},
    };
    return blocks;
}

QString fillPlaceholders(const QString& blockText, const QString& vorname, bool boy)
{
    static const QRegularExpression placeholder(QStringLiteral("%([^%]*)%"));
    QString result;
    qsizetype last = 0;
    for (const QRegularExpressionMatch& m : placeholder.globalMatch(blockText)) {
        result += blockText.mid(last, m.capturedStart() - last);
        last = m.capturedEnd();
        const QString name = m.captured(1);
        const bool capital = !name.isEmpty() && name[0].isUpper();
        const QString upper = name.toUpper();
        QString word;
        if (upper == QLatin1String("VORNAME"))
            word = vorname;
        else if (upper == QLatin1String("ERSIE"))
            word = boy ? QStringLiteral("er") : QStringLiteral("sie");
        else if (upper == QLatin1String("SEINIHR"))
            word = boy ? QStringLiteral("sein") : QStringLiteral("ihr");
        else if (upper == QLatin1String("IHMIHR"))
            word = boy ? QStringLiteral("ihm") : QStringLiteral("ihr");
        else
            throw std::runtime_error("Unbekannter Platzhalter %" + name.toStdString() + "% in einem Textbaustein");
        if (capital && upper != QLatin1String("VORNAME"))
            word[0] = word[0].toUpper();
        result += word;
    }
    result += blockText.mid(last);
    return result;
}

} // namespace zedora::templates
