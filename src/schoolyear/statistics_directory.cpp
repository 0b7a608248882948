#include "schoolyear/statistics_directory.h"

#include "base/ansi_text.h"
#include "base/path_resolver.h"
#include "data/student_file_access.h"
#include "dbase/table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zedora {
namespace {

int wholeNumber(const QString& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? n : 0;
}

// Visits every live record of the file; false (and a message) when the file
// is missing or cannot be read. Nothing is counted from a file that fails
// half-way, so a damaged file never adds a partial line.
template <typename Visit>
bool visitFile(const QString& directory, const QString& file, QStringList* damaged, Visit visit)
{
    const QString path = resolveIn(directory, file);
    if (!QFileInfo(path).isFile()) {
        if (damaged)
            damaged->append(damagedFileMessage(file, QStringLiteral("Datei nicht gefunden")));
        return false;
    }
    try {
        auto table = openToRead(path).table;
        table->selectTag("");
        visit(*table, true);
        for (table->first(); !table->isEmpty() && !table->eof(); table->next())
            visit(*table, false);
        return true;
    } catch (const std::exception& e) {
        if (damaged)
            damaged->append(damagedFileMessage(file, QString::fromLocal8Bit(e.what())));
        return false;
    }
}

QString baseName(const QString& file)
{
    const QString name = lastComponent(file);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

} // namespace

QString damagedFileMessage(const QString& file, const QString& reason)
{
    return QStringLiteral("Die Datei %1 konnte nicht gelesen werden und wurde übersprungen:\n%2").arg(file, reason);
}

QStringList studentFilesIn(const QString& directory)
{
    QStringList out;
    const QDir dir(directory);
    for (const QFileInfo& fi : dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase))
        if (fi.suffix().compare(QLatin1String("DBF"), Qt::CaseInsensitive) == 0)
            out << fi.fileName();
    return out;
}

QStringList graduationCodesFrom(const QString& abschlPath)
{
    QStringList codes;
    QFile f(abschlPath);
    if (!f.open(QIODevice::ReadOnly))
        return codes;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (int i = 0; i < lines.size() && codes.size() < 6; ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (i == lines.size() - 1 && line.isEmpty())
            break;
        codes << fromAnsi(line).left(7).trimmed();
    }
    return codes;
}

AbsenceStatistics absenceStatistics(const QString& directory, const QStringList& files, QStringList* damaged)
{
    AbsenceStatistics s;
    s.header.dataDirectory = lastComponent(QDir::cleanPath(directory));
    for (const QString& file : files) {
        AbsenceStatistics::Row row;
        int vs1 = -1, ue1 = -1, vs12 = -1, ue12 = -1;
        const bool ok = visitFile(directory, file, damaged, [&](dbase::Table& t, bool start) {
            if (start) {
                vs1 = t.fieldIndex("VS1");
                ue1 = t.fieldIndex("UE1");
                vs12 = t.fieldIndex("VS12");
                ue12 = t.fieldIndex("UE12");
                return;
            }
            const int u1 = wholeNumber(fromAnsi(t.text(ue1))), u12 = wholeNumber(fromAnsi(t.text(ue12)));
            row.vs1 += wholeNumber(fromAnsi(t.text(vs1)));
            row.ue1 += u1;
            row.vs12 += wholeNumber(fromAnsi(t.text(vs12)));
            row.ue12 += u12;
            if (u1 > 0 || u12 > 0)
                ++row.withUnexcused;
        });
        if (!ok)
            row = AbsenceStatistics::Row{};
        row.klasse = baseName(file);
        s.rows << row;
    }
    return s;
}

GraduationStatistics graduationStatistics(const QString& directory, const QStringList& files,
                                          const QStringList& codes, const QString& male, QStringList* damaged)
{
    GraduationStatistics s;
    s.header.dataDirectory = lastComponent(QDir::cleanPath(directory));
    s.codes = codes.mid(0, 6);
    const QString maleUpper = male.trimmed().toUpper();
    for (const QString& file : files) {
        GraduationStatistics::Row row;
        row.counts.resize(s.codes.size());
        int absch = -1, mw = -1;
        const bool ok = visitFile(directory, file, damaged, [&](dbase::Table& t, bool start) {
            if (start) {
                absch = t.fieldIndex("ABSCH");
                mw = t.fieldIndex("MW");
                return;
            }
            const QString code = fromAnsi(t.text(absch)).trimmed().toUpper();
            // A blank code line would otherwise count every student
            // without a graduation.
            if (code.isEmpty())
                return;
            const bool isMale = !maleUpper.isEmpty() && fromAnsi(t.text(mw)).trimmed().toUpper() == maleUpper;
            for (int k = 0; k < s.codes.size(); ++k)
                if (code == s.codes[k].toUpper()) {
                    auto& c = row.counts[k];
                    ++(isMale ? c.second : c.first);
                }
        });
        if (!ok) {
            row.counts.clear();
            row.counts.resize(s.codes.size());
        }
        row.klasse = baseName(file);
        s.rows << row;
    }
    return s;
}

} // namespace zedora
