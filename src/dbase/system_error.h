#pragma once
// System errors as the engine reports them: a German sentence for each errno
// a user may meet, never the system's English text.
#include <cerrno>
#include <string>

namespace zedora::dbase {

inline std::string systemErrorText(int error)
{
    switch (error) {
    case ENOENT: return "Datei oder Verzeichnis nicht gefunden";
    case EACCES:
    case EPERM: return "Zugriff verweigert";
    case EROFS: return "Dateisystem nur lesbar";
    case ENOSPC: return "Kein Platz mehr auf dem Datenträger";
    case EDQUOT: return "Speicherplatz-Kontingent erschöpft";
    case EEXIST: return "Datei besteht schon";
    case EISDIR: return "ist ein Verzeichnis";
    case ENOTDIR: return "ein Teil des Pfades ist kein Verzeichnis";
    case EIO: return "Ein-/Ausgabefehler";
    case ENAMETOOLONG: return "Dateiname zu lang";
    case EMFILE:
    case ENFILE: return "Zu viele offene Dateien";
    case ETXTBSY:
    case EBUSY: return "Die Datei ist in Benutzung";
    case EXDEV: return "Verschieben auf ein anderes Laufwerk nicht möglich";
    case EFBIG: return "Datei zu groß";
    case ESTALE: return "Die Netzwerkverbindung zur Datei ist veraltet";
    case ENOLCK: return "Keine Sperren mehr verfügbar";
    case EINVAL: return "Ungültiges Argument";
    case ENOMEM: return "Nicht genug Arbeitsspeicher";
    default: return "Systemfehler " + std::to_string(error);
    }
}

// The current errno, read at once before anything else can change it.
inline std::string systemErrorText()
{
    return systemErrorText(errno);
}

} // namespace zedora::dbase
