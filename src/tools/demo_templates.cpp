#include "tools/demo_templates.h"

#include "base/ansi_text.h"
#include "data/student_schema.h"
#include "data/text_lines.h"
#include "dbase/table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <stdexcept>

namespace zedora::templates {
namespace {

[[noreturn]] void fail(const QString& message)
{
    throw std::runtime_error(message.toStdString());
}

// Windows-1252 bytes of a text; a character the encoding lacks would turn
// into "?" in the file, so it stops the build instead.
std::string ansi(const QString& text)
{
    const std::string bytes = toAnsiStd(text);
    if (fromAnsi(bytes) != text)
        fail(QStringLiteral("Der Text \"%1\" enthält Zeichen außerhalb von Windows-1252").arg(text));
    return bytes;
}

// Files are made in a scratch folder inside the target folder and renamed
// into place when complete, so a failed run leaves the old files.
class Staging {
public:
    explicit Staging(const QString& dir) : dir_(dir), scratch_(QDir(dir).filePath(QStringLiteral("tmp-XXXXXX")))
    {
        if (!scratch_.isValid())
            fail(QStringLiteral("Im Ordner %1 kann nicht geschrieben werden").arg(dir));
    }
    std::string path(const QString& name) const { return QFile::encodeName(scratch_.filePath(name)).toStdString(); }
    void commit(const QString& name, const QString& target) const
    {
        const QByteArray from = QFile::encodeName(scratch_.filePath(name));
        const QByteArray to = QFile::encodeName(QDir(dir_).filePath(target));
        if (std::rename(from.constData(), to.constData()) != 0)
            fail(QStringLiteral("%1 kann nicht geschrieben werden").arg(QDir(dir_).filePath(target)));
    }

private:
    QString dir_;
    QTemporaryDir scratch_;
};

std::vector<dbase::FieldDesc> textBlockFields()
{
    return {{"ID", 'C', 4, 0, 0}, {"INHALT", 'C', 230, 0, 0}};
}

// The engine cuts a value to the field width without a word; shipped data
// must never lose its end that way.
void setChecked(dbase::Table& t, const QString& field, const QString& value)
{
    const int index = t.findField(field.toStdString());
    if (index < 0)
        fail(QStringLiteral("Die Tabelle hat kein Feld %1").arg(field));
    const std::string bytes = ansi(value);
    const dbase::FieldDesc& f = t.field(index);
    if (f.type == 'M') {
        t.setMemo(index, bytes);
        return;
    }
    if (static_cast<int>(bytes.size()) > f.length)
        fail(QStringLiteral("\"%1\" ist zu lang für das Feld %2 (%3 Zeichen)").arg(value, field).arg(f.length));
    t.setText(index, bytes);
}

void writeLines(const QString& dir, const QString& name, const QStringList& lines)
{
    for (const QString& line : lines)
        ansi(line);
    if (!writeTextLines(QDir(dir).filePath(name), lines))
        fail(QStringLiteral("%1 kann nicht geschrieben werden").arg(QDir(dir).filePath(name)));
}

} // namespace

void writeStudentTemplate(const QString& dir)
{
    Staging s(dir);
    dbase::Table::create(s.path(QStringLiteral("MUSTER.DBF")), studentFileFields());
    s.commit(QStringLiteral("MUSTER.DBF"), QStringLiteral("MUSTER.MS1"));
    s.commit(QStringLiteral("MUSTER.DBT"), QStringLiteral("MUSTER.MS3"));
}

void writeTextBlockTemplate(const QString& dir)
{
    Staging s(dir);
    dbase::Table::create(s.path(QStringLiteral("FLOSKEL.DBF")), textBlockFields());
    s.commit(QStringLiteral("FLOSKEL.DBF"), QStringLiteral("FLOSKEL.MST"));
}

void writeDemoTextBlocks(const QString& dir)
{
    Staging s(dir);
    const QString name = QStringLiteral("#demo.dbf");
    dbase::Table::create(s.path(name), textBlockFields());
    {
        auto t = dbase::Table::open(s.path(name), dbase::OpenMode::Exclusive);
        for (const TextBlock& b : demoTextBlocks()) {
            t->append();
            setChecked(*t, QStringLiteral("ID"), QString::fromUtf8(b.id).toUpper());
            setChecked(*t, QStringLiteral("INHALT"), QString::fromUtf8(b.text));
            t->post();
        }
    }
    s.commit(name, name);
}

void writeDemoClass(const QString& dir)
{
    const std::vector<FieldValues> records = demoClassRecords();
    Staging s(dir);
    dbase::Table::create(s.path(QStringLiteral("demo.dbf")), studentFileFields());
    {
        auto t = dbase::Table::open(s.path(QStringLiteral("demo.dbf")), dbase::OpenMode::Exclusive);
        for (const FieldValues& r : records) {
            t->append();
            for (const auto& [field, value] : r)
                setChecked(*t, field, value);
            t->post();
        }
    }
    s.commit(QStringLiteral("demo.dbf"), QStringLiteral("demo.dbf"));
    s.commit(QStringLiteral("demo.dbt"), QStringLiteral("demo.dbt"));
}

void writeDemoColumnLayout(const QString& dir)
{
    writeLines(dir, QStringLiteral("fdf.mst"), demoColumnLines());
}

void writeAllFieldsColumnLines(const QString& dir)
{
    writeLines(dir, QStringLiteral("FACH-ALL.MST"), allFieldsColumnLines());
}

void writeAll(const QString& dir)
{
    if (!QDir().mkpath(dir))
        fail(QStringLiteral("Der Ordner %1 kann nicht angelegt werden").arg(dir));
    writeStudentTemplate(dir);
    writeTextBlockTemplate(dir);
    writeDemoTextBlocks(dir);
    writeDemoClass(dir);
    writeDemoColumnLayout(dir);
    writeAllFieldsColumnLines(dir);
}

} // namespace zedora::templates
