#include "base/directory_conventions.h"

#include "base/ansi_text.h"
#include "base/interaction.h"
#include "base/path_resolver.h"

namespace zedora {

bool checkDirectoryConvention(const QString& path, FileKind kind, Interaction& ui)
{
    const QString upper = upperAscii(toWindowsSeparators(path));
    for (const char* demo : {"MUSTER.LAY", "DEMO.LAY", "DEMO.DBF", "DEMO.FDF"}) {
        if (upper.contains(QLatin1String(demo)))
            return false;
    }
    bool accepted = false;
    switch (kind) {
    case FileKind::StudentFile:
        accepted = upper.contains(QLatin1String("ZE-")) || upper.contains(QLatin1String("ARCHIV"));
        break;
    case FileKind::Layout:
        accepted = upper.contains(QLatin1String("LAYOUT"));
        break;
    case FileKind::TextBlocks:
        accepted = upper.contains(QLatin1String("DEFINI"));
        break;
    }
    if (accepted)
        return true;

    const QString windowsPath = toWindowsSeparators(path);
    const qsizetype slash = windowsPath.lastIndexOf(QLatin1Char('\\'));
    const QString directory = slash < 0 ? QString() : windowsPath.left(slash + 1);
    ui.beep();
    ui.warning(QStringLiteral("Falsches Verzeichnis:  ") + directory + QStringLiteral("\n\n")
               + QStringLiteral("Um einen korrekten Datenimport/ -export zu gewährleisten\n")
               + QStringLiteral("müssen bestimmte Konventionen zur Benennung von Verzeichnissen\n")
               + QStringLiteral("beachtet werden!\n\n")
               + QStringLiteral("Notenverzeichnisse: ...\\ZE-.....\n")
               + QStringLiteral("Layoutverzeichnis: ...\\LAYOUT ....\n")
               + QStringLiteral("Fächer- und TBS-Datein: ...\\DEFINI ....\n") + QStringLiteral("\n"));
    return false;
}

bool isDataDirectoryName(const QString& pathOrName)
{
    const QString name = lastComponent(pathOrName).left(20);
    if (name.isEmpty() || name.size() > 17 || name.size() < 8)
        return false;
    if (upperAscii(name.left(3)) != QLatin1String("ZE-"))
        return false;
    if (name.at(7) != QLatin1Char('-'))
        return false;
    auto digit012 = [](QChar c) {
        return c == QLatin1Char('0') || c == QLatin1Char('1') || c == QLatin1Char('2');
    };
    return digit012(name.at(3)) && digit012(name.at(5));
}

} // namespace zedora
