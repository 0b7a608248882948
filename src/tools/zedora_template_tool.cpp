// Writes the dBase templates and demo files of MUSTER into a folder; run by
// the build so they are made by the engine and schema of this very build.
#include "tools/demo_templates.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "Aufruf: zedora-template-tool ZIELORDNER\n");
        return 2;
    }
    try {
        zedora::templates::writeAll(args[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zedora-template-tool: %s\n", e.what());
        return 1;
    }
    return 0;
}
