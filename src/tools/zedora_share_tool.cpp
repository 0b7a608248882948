// Makes the data shipped with the program from its sources in the
// repository: text files are kept there as UTF-8 with LF and shipped as
// Windows-1252 with CR LF, the encoding every workspace file has.
#include "base/ansi_text.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QString>

#include <cstdio>

namespace {

int convertText(const QString& source, const QString& target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s kann nicht gelesen werden\n", qPrintable(source));
        return 1;
    }
    QString text = QString::fromUtf8(in.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const QByteArray bytes = zedora::toAnsi(text);
    if (bytes.count('?') != text.count(QLatin1Char('?'))) {
        std::fprintf(stderr, "%s enthält Zeichen außerhalb von Windows-1252\n", qPrintable(source));
        return 1;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        std::fprintf(stderr, "%s kann nicht geschrieben werden\n", qPrintable(target));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("text"))
        return convertText(args[2], args[3]);
    std::fprintf(stderr, "Aufruf: zedora-share-tool text QUELLE ZIEL\n");
    return 2;
}
