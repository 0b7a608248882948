#pragma once
// Opening a document with the application the desktop associates with its
// type (manuals, archived report cards, statistics), with the program's
// messages when it is missing or nothing opens it.
#include <QString>
#include <functional>

namespace zedora {

class Interaction;

class DocumentOpener {
public:
    enum class Outcome { Opened, NotFound, NoApplication };

    // What the desktop does; replaced in tests.
    struct Desktop {
        // Whether an application is associated with the file's type.
        std::function<bool(const QString& path)> hasApplication;
        // Hands the file to the associated application.
        std::function<bool(const QString& path)> open;
        // Starts a chosen program with the file.
        std::function<bool(const QString& program, const QString& path)> openWith;
    };
    static Desktop systemDesktop();

    DocumentOpener(Interaction& ui, Desktop desktop = systemDesktop()) : ui_(ui), desktop_(std::move(desktop)) {}

    // path: at most 250 characters, '\' or '/', any letter case.
    Outcome open(const QString& path);

private:
    Interaction& ui_;
    Desktop desktop_;
};

} // namespace zedora
