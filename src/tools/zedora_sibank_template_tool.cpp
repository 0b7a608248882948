// Writes the empty Sibank-format table sib-leer.mst into a folder.
#include "exchange/sibank_format.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "Aufruf: zedora-sibank-template-tool ZIELORDNER\n");
        return 2;
    }
    try {
        QDir().mkpath(args[1]);
        zedora::writeSibankTemplate(args[1] + QStringLiteral("/sib-leer.mst"));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zedora-sibank-template-tool: %s\n", e.what());
        return 1;
    }
    return 0;
}
