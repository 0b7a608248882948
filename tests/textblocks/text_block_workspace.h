#pragma once
// A temporary workspace with the shipped text-block template and demo file
// in MUSTER, and a block file opened on it.
#include "textblocks/text_block_file.h"
#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/path_resolver.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "dbase/table.h"
#include "tools/demo_templates.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <utility>
#include <vector>

namespace zedora::testing {

struct TextBlockWorkspace {
    QTemporaryDir dir;
    QString workspace;
    ScriptedInteraction ui;
    std::unique_ptr<TNeueDateien> reg;
    std::unique_ptr<WorkspaceFiles> files;
    std::unique_ptr<TextBlockFile> blocks;

    TextBlockWorkspace()
    {
        workspace = dir.path() + u'/';
        QDir(dir.path()).mkpath(QStringLiteral("MUSTER"));
        QDir(dir.path()).mkpath(QStringLiteral("DEFINI"));
        templates::writeTextBlockTemplate(path(QStringLiteral("MUSTER")));
        templates::writeDemoTextBlocks(path(QStringLiteral("MUSTER")));
        reg = std::make_unique<TNeueDateien>(path(QStringLiteral("angelegteDateien.txt")),
                                             path(QStringLiteral("angelegteVerzeichnisse.txt")));
        files = std::make_unique<WorkspaceFiles>(*reg);
        blocks = std::make_unique<TextBlockFile>(workspace, *files, ui);
    }

    QString path(const QString& relative) const { return resolveIn(workspace, relative); }
    bool exists(const QString& relative) const { return QFileInfo(path(relative)).exists(); }

    // A block file in DEFINI with these blocks and no index.
    void writeBlockFile(const QString& name, const std::vector<std::pair<QString, QString>>& content)
    {
        const QString target = joinPath(workspace, QStringLiteral("DEFINI/") + name);
        QFile::copy(path(QStringLiteral("MUSTER/FLOSKEL.MST")), target);
        auto t = dbase::Table::open(target.toStdString(), dbase::OpenMode::Exclusive);
        for (const auto& [id, text] : content) {
            t->append();
            t->setText("ID", toAnsiStd(id));
            t->setText("INHALT", toAnsiStd(text));
            t->post();
        }
    }

    QStringList ids()
    {
        QStringList out;
        for (const TextBlock& b : blocks->blocks())
            out << b.id;
        return out;
    }
};

} // namespace zedora::testing
