#include "exchange/server_import.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "core/settings.h"

#include <mysql.h>

namespace zedora {
namespace {

class Connection {
public:
    Connection() : db_(mysql_init(nullptr)) {}
    ~Connection()
    {
        if (result_)
            mysql_free_result(result_);
        if (db_)
            mysql_close(db_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    MYSQL* db() const { return db_; }
    MYSQL_RES*& result() { return result_; }
    QString error() const { return db_ ? QString::fromUtf8(mysql_error(db_)) : QStringLiteral("Kein Speicher für die Verbindung"); }

private:
    MYSQL* db_;
    MYSQL_RES* result_ = nullptr;
};

} // namespace

ServerLogin serverLogin(const Settings& s, const QString& user, const QString& password)
{
    ServerLogin login;
    login.host = s.TolvoHost.trimmed();
    login.port = s.TolvoPort;
    login.database = s.TolvoDBName.trimmed();
    login.user = user.trimmed();
    login.password = password.trimmed();
    return login;
}

ServerAnswer queryServer(const ServerLogin& login, const QString& query, bool ansiConversion)
{
    ServerAnswer answer;
    Connection c;
    if (!c.db()) {
        answer.error = c.error();
        return answer;
    }
    const unsigned connectTimeout = static_cast<unsigned>(std::max(1, login.connectTimeoutSeconds));
    const unsigned readTimeout = static_cast<unsigned>(std::max(1, login.readTimeoutSeconds));
    mysql_options(c.db(), MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
    mysql_options(c.db(), MYSQL_OPT_READ_TIMEOUT, &readTimeout);
    mysql_options(c.db(), MYSQL_OPT_WRITE_TIMEOUT, &readTimeout);
    mysql_options(c.db(), MYSQL_SET_CHARSET_NAME, "utf8mb4");
    const QByteArray host = login.host.toUtf8(), user = login.user.toUtf8(),
                     password = login.password.toUtf8(), database = login.database.toUtf8();
    if (!mysql_real_connect(c.db(), host.constData(), user.constData(), password.constData(),
                            database.constData(), static_cast<unsigned>(login.port), nullptr, 0)) {
        answer.error = c.error();
        return answer;
    }
    answer.connected = true;
    const QByteArray q = query.toUtf8();
    if (mysql_real_query(c.db(), q.constData(), static_cast<unsigned long>(q.size())) != 0) {
        answer.error = c.error();
        return answer;
    }
    c.result() = mysql_store_result(c.db());
    if (!c.result()) {
        // A statement without rows (none the import sends) is no failure.
        answer.ok = mysql_field_count(c.db()) == 0 && mysql_errno(c.db()) == 0;
        answer.error = c.error();
        return answer;
    }
    AnsiConversion conversion;
    const auto text = [&](const char* data, unsigned long length) {
        const QByteArray bytes(data, static_cast<qsizetype>(length));
        return ansiConversion ? conversion.convert(bytes) : fromAnsi(bytes);
    };
    const unsigned columns = mysql_num_fields(c.result());
    const MYSQL_FIELD* fields = mysql_fetch_fields(c.result());
    for (unsigned i = 0; i < columns; ++i)
        answer.raw.header << text(fields[i].name, fields[i].name_length);
    answer.raw.rows.reserve(mysql_num_rows(c.result()));
    while (MYSQL_ROW row = mysql_fetch_row(c.result())) {
        const unsigned long* lengths = mysql_fetch_lengths(c.result());
        QStringList values;
        values.reserve(columns);
        for (unsigned i = 0; i < columns; ++i) {
            const int before = conversion.replaced;
            values << (row[i] ? text(row[i], lengths[i]) : QString());
            if (before == 0 && conversion.replaced > 0)
                answer.firstReplaced = QStringLiteral("Zeile %1, Spalte %2: ").arg(answer.raw.rows.size() + 1).arg(answer.raw.header.value(static_cast<int>(i)))
                                     + values.last();
        }
        answer.raw.rows.push_back(std::move(values));
    }
    if (mysql_errno(c.db()) != 0) {
        answer.error = c.error();
        answer.raw = {};
        return answer;
    }
    answer.replaced = conversion.replaced;
    answer.ok = true;
    return answer;
}

bool readServerSource(const ServerLogin& login, const Settings& settings, ImportTable& table,
                      Interaction& ui, RawTable* raw)
{
    BusyScope busy(ui);
    table.clear();
    const ServerAnswer answer = queryServer(login, serverQuery(settings.TolvoVornamenOption),
                                            settings.AnsiKonvertierung);
    if (!answer.connected) {
        ui.error(QStringLiteral("Fehler beim Verbinden: \n") + answer.error);
        return false;
    }
    if (!answer.ok) {
        ui.error(QStringLiteral("Abfrage fehlgeschlagen: ") + answer.error);
        return false;
    }
    if (raw)
        *raw = answer.raw;
    shapeServerRows(answer.raw, settings, table);
    postProcess(table, settings, true);
    if (answer.replaced > 0)
        ui.warning(QStringLiteral("%1 Zeichen der Serverdaten gibt es im Windows-Zeichensatz nicht;\n"
                                  "sie wurden durch \"?\" ersetzt. Bitte die Namen prüfen!\n\nDas erste: ")
                       .arg(answer.replaced)
                   + answer.firstReplaced);
    return true;
}

} // namespace zedora
