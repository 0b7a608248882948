#include "main/cli_console.h"

#include "base/path_resolver.h"
#include "core/program_paths.h"

#include <QDir>
#include <QFileInfo>

#include <ostream>

namespace zedora::cli {

std::optional<QString> existingWorkspace(const QString& given, const ProgramPaths& paths, std::ostream& err)
{
    const QString ws =
        withTrailingSlash(resolvePath(given.isEmpty() ? paths.defaultWorkspace : QDir(given).absolutePath()));
    if (!QFileInfo(ws).isDir()) {
        err << "Arbeitsverzeichnis nicht gefunden: " << ws.toStdString() << "\n";
        return std::nullopt;
    }
    return ws;
}

std::optional<QString> existingStudentFile(const QString& workspace, const QString& file, std::ostream& err)
{
    const QString path = QFileInfo(file).isAbsolute() ? resolvePath(file) : resolveIn(workspace, file);
    if (!QFileInfo(path).isFile()) {
        err << "Schülerdatei " << path.toStdString() << " nicht gefunden!\n";
        return std::nullopt;
    }
    return path;
}

void ConsoleInteraction::print(const char* prefix, const QString& text)
{
    err_ << prefix << text.trimmed().toStdString() << "\n";
}

void ConsoleInteraction::info(const QString& text)
{
    print("", text);
}

void ConsoleInteraction::warning(const QString& text)
{
    print("Warnung: ", text);
}

void ConsoleInteraction::error(const QString& text)
{
    ++errors_;
    print("Fehler: ", text);
}

Answer ConsoleInteraction::ask(const QString& text, Buttons)
{
    print("Frage: ", text);
    err_ << (answer_ == Answer::Yes ? "-> Ja\n" : "-> Nein\n");
    return answer_;
}

} // namespace zedora::cli
