#pragma once
// A temporary workspace with the shipped templates, the scripted seam and
// helpers to read what the import wrote.
#include "base/ansi_text.h"
#include "base/created_files_register.h"
#include "base/path_resolver.h"
#include "base/scripted_interaction.h"
#include "base/workspace_files.h"
#include "core/settings.h"
#include "data/student_files.h"
#include "dbase/table.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <map>
#include <memory>
#include <vector>

namespace zedora::test {

inline QString fixture(const QString& relative)
{
    return QStringLiteral(ZEDORA_FIXTURES_DIR "/") + relative;
}

class Workspace {
public:
    Workspace()
        : root(QString::fromStdString(dir.path().string()) + QLatin1Char('/')),
          reg(root + QStringLiteral("angelegteDateien.txt"), root + QStringLiteral("angelegteVerzeichnisse.txt")),
          files(reg), context{root, QStringLiteral("TESTPC"), files, ui}
    {
        reg.endDefer();
        QDir().mkpath(root + QStringLiteral("MUSTER"));
        QDir().mkpath(root + QStringLiteral("ZE-2425-1"));
        QDirIterator it(QStringLiteral(ZEDORA_SHARE_DIR "/MUSTER"), QDir::Files);
        while (it.hasNext()) {
            const QFileInfo fi(it.next());
            QFile::copy(fi.absoluteFilePath(), root + QStringLiteral("MUSTER/") + fi.fileName());
        }
    }

    // A copy of a fixture file in a folder of its own, so its neighbours
    // (FACHKURS.DBF) are there only when wanted.
    QString copyFixture(const QString& name, const QString& folder = QStringLiteral("import"))
    {
        QDir().mkpath(root + folder);
        const QString target = root + folder + QLatin1Char('/') + name;
        QFile::copy(fixture(QStringLiteral("sibank/") + name), target);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        return target;
    }

    TempDir dir;
    QString root;
    TNeueDateien reg;
    WorkspaceFiles files;
    ScriptedInteraction ui;
    StudentFileContext context;
    Settings settings;
};

using Record = std::map<std::string, QString>;

// Every live record of a table in stored order, values as text.
inline std::vector<Record> readRecords(const QString& path)
{
    std::vector<Record> records;
    auto t = dbase::Table::open(QFileInfo(resolvePath(path)).absoluteFilePath().toStdString());
    for (t->first(); !t->eof(); t->next()) {
        Record r;
        for (int i = 0; i < t->fieldCount(); ++i)
            r[t->field(i).name] = fromAnsi(t->text(i));
        records.push_back(std::move(r));
    }
    return records;
}

// A dBase table made for one test: field names and text rows.
inline void makeTable(const QString& path, const std::vector<dbase::FieldDesc>& fields,
                      const std::vector<std::vector<QString>>& rows)
{
    dbase::Table::create(path.toStdString(), fields);
    auto t = dbase::Table::open(path.toStdString());
    for (const auto& row : rows) {
        t->append();
        for (size_t i = 0; i < row.size(); ++i)
            t->setText(static_cast<int>(i), toAnsiStd(row[i]));
        t->post();
    }
}

inline dbase::FieldDesc charField(const char* name, int width)
{
    dbase::FieldDesc f;
    f.name = name;
    f.type = 'C';
    f.length = width;
    return f;
}

inline dbase::FieldDesc dateField(const char* name)
{
    dbase::FieldDesc f;
    f.name = name;
    f.type = 'D';
    f.length = 8;
    return f;
}

} // namespace zedora::test
