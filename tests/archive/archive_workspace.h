#pragma once
// A workspace with the student-file template, for the archive tests.
#include "base/created_files_register.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "data/student_files.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace zedora::test {

class ArchiveWorkspace {
public:
    ArchiveWorkspace()
        : root(QString::fromStdString(dir.path().string()) + QLatin1Char('/')),
          reg(root + QStringLiteral("angelegteDateien.txt"), root + QStringLiteral("angelegteVerzeichnisse.txt")),
          files(reg), context{root, QStringLiteral("TESTPC"), files, ui}
    {
        reg.endDefer();
        QDir().mkpath(root + QStringLiteral("MUSTER"));
        QDir().mkpath(root + QStringLiteral("TMP"));
        QDirIterator it(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER"), QDir::Files);
        while (it.hasNext()) {
            const QFileInfo fi(it.next());
            QFile::copy(fi.absoluteFilePath(), root + QStringLiteral("MUSTER/") + fi.fileName());
        }
    }

    TempDir dir;
    QString root;
    TNeueDateien reg;
    WorkspaceFiles files;
    ScriptedInteraction ui;
    StudentFileContext context;
};

} // namespace zedora::test
