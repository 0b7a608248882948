#pragma once
// A temporary workspace with the created-files register and the scripted
// interaction, and small picture helpers, for the periphery tests.
#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

namespace zedora::testing {

struct PeripheryWorkspace {
    QTemporaryDir tmp;
    TNeueDateien reg{tmp.filePath(QStringLiteral("angelegteDateien.txt")),
                     tmp.filePath(QStringLiteral("angelegteVerzeichnisse.txt"))};
    WorkspaceFiles files{reg};
    ScriptedInteraction ui;

    QString path(const QString& relative) const { return tmp.filePath(relative); }
    QString mkdir(const QString& relative) const
    {
        QDir().mkpath(path(relative));
        return path(relative);
    }
};

inline void queueAnswers(ScriptedInteraction& ui, std::initializer_list<Answer> answers)
{
    for (Answer a : answers)
        ui.answers.enqueue(a);
}

inline void queueTexts(ScriptedInteraction& ui, std::initializer_list<std::optional<QString>> texts)
{
    for (const auto& t : texts)
        ui.texts.enqueue(t);
}

// A picture whose pixels all differ, so turns and mirrors show.
inline QImage patternImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 37) % 256, (y * 53) % 256, (x * y) % 256));
    return image;
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

inline QByteArray readBytes(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace zedora::testing
