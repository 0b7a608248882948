#pragma once
// A workspace with a class file of last half-year, for the rollover tests.
#include "base/ansi_text.h"
#include "data/student_schema.h"
#include "dbase/table.h"
#include "support/temp_dir.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <map>
#include <string>

namespace zedora::test {

inline const QString kFixtures = QStringLiteral(ZEDORA_FIXTURES_DIR "/sibank/");

struct Pupil {
    const char* name;
    const char* vorname;
    const char* klasse;
};

inline void writeStudentFile(const QString& path, std::initializer_list<Pupil> pupils)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    dbase::Table::create(path.toStdString(), studentFileFields());
    auto t = dbase::Table::open(path.toStdString(), dbase::OpenMode::Exclusive);
    for (const auto& tag : studentIndexTagSpecs())
        t->addIndexTag(tag.name, tag.expression, tag.unique);
    int n = 0;
    for (const Pupil& p : pupils) {
        t->append();
        t->setText("NAME", toAnsiStd(QString::fromUtf8(p.name)));
        t->setText("VORNAME", toAnsiStd(QString::fromUtf8(p.vorname)));
        t->setText("KLASSE", p.klasse);
        t->setText("DE", "2");
        t->setText("EN", "3");
        t->setText("AG1", "altAG");
        t->setText("WPK1", "altWPK");
        t->setText("JOKE2", std::string(60, 'j'));
        t->setMemo(t->fieldIndex("TB1"), "Text " + std::to_string(++n));
        t->post();
    }
}

// Every byte of a file with its companions, to prove it was not touched.
inline std::map<std::string, std::string> snapshot(const QString& dbf)
{
    std::map<std::string, std::string> files;
    const QString base = dbf.left(dbf.size() - 4);
    for (const char* ext : {".DBF", ".DBT", ".MDX", ".INI"})
        if (QFile::exists(base + ext))
            files[ext] = readBytes((base + ext).toStdString());
    return files;
}

struct StoredStudent {
    std::map<std::string, std::string> fields;
    std::string operator[](const char* f) const { return fields.count(f) ? fields.at(f) : std::string(); }
};

// The live records by "NAME, VORNAME" (UTF-8), in stored order.
inline std::multimap<std::string, StoredStudent> readStudents(const QString& path)
{
    std::multimap<std::string, StoredStudent> all;
    auto t = dbase::Table::open(path.toStdString());
    for (t->first(); !t->eof() && !t->isEmpty(); t->next()) {
        StoredStudent s;
        for (int i = 0; i < t->fieldCount(); ++i)
            s.fields[t->field(i).name] = fromAnsi(t->text(i)).toStdString();
        all.emplace(s["NAME"] + ", " + s["VORNAME"], s);
    }
    return all;
}

} // namespace zedora::test
