#pragma once
// Reading the students from the school server's MySQL/MariaDB database.
#include "exchange/import_table.h"
#include "exchange/server_rows.h"

#include <QString>

namespace zedora {

class Interaction;
struct Settings;

struct ServerLogin {
    QString host;
    int port = 3306;
    QString database;
    QString user;
    QString password;   // typed for each read, never stored
    // A server that does not answer must not hang the program.
    int connectTimeoutSeconds = 10;
    int readTimeoutSeconds = 60;
};

// Host, port and database from the settings, the two typed fields trimmed.
ServerLogin serverLogin(const Settings& settings, const QString& user, const QString& password);

struct ServerAnswer {
    bool connected = false;
    bool ok = false;
    QString error;      // the client library's own text
    RawTable raw;
    int replaced = 0;   // characters the ANSI code page could not hold
    QString firstReplaced;  // where the first one was: "Zeile 3, Spalte Rufname: ?ukasz"
};

// Connects, runs the query and reads the whole result.
ServerAnswer queryServer(const ServerLogin& login, const QString& query, bool ansiConversion);

// The whole read with the program's messages: fills and post-processes the
// import table. False (table empty) when the server could not be read.
bool readServerSource(const ServerLogin& login, const Settings& settings, ImportTable& table,
                      Interaction& ui, RawTable* raw = nullptr);

} // namespace zedora
