#include "schoolyear/history_archive.h"

#include "base/ansi_text.h"
#include "base/path_resolver.h"
#include "data/student_file_access.h"
#include "dbase/table.h"

#include <QFileInfo>
#include <exception>

namespace zedora {

namespace {

bool indexMissing(const QString& dbfPath)
{
    const QFileInfo fi(dbfPath);
    return !pathExists(fi.absolutePath() + QLatin1Char('/') + fi.completeBaseName() + QStringLiteral(".MDX"));
}

std::unique_ptr<dbase::Table> openArchive(const QString& path, const HistoryArchive::Reorganise& reorganise)
{
    // The archive is only read: a file without its index is reorganised
    // when it can be, and read in its stored order when not.
    if (reorganise && indexMissing(path))
        reorganise(path);
    return openToRead(path).table;
}

} // namespace

HistoryArchive HistoryArchive::read(const QString& path, const QSet<QString>& wanted, const Reorganise& reorganise)
{
    HistoryArchive a;
    a.path_ = path;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return a;
    try {
        std::unique_ptr<dbase::Table> t = openArchive(path, reorganise);
        if (!t)
            return a;
        std::vector<int> kept;   // engine field numbers, in record order
        int idField = -1;
        for (int f = 0; f < t->fieldCount(); ++f) {
            const QString name = QString::fromLatin1(t->field(f).name.c_str());
            const bool keep = wanted.contains(name) || name == QLatin1String("ID");
            a.fields_.insert(name, keep ? int(kept.size()) : -1);
            if (name == QLatin1String("ID"))
                idField = int(kept.size());
            if (keep)
                kept.push_back(f);
        }
        t->first();
        while (!t->eof()) {
            QStringList values;
            values.reserve(qsizetype(kept.size()));
            for (int f : kept)
                values << (t->field(f).type == 'M' ? fromAnsi(t->memo(f)) : fromAnsi(t->textView(f)));
            const QString id = idField >= 0 ? values[idField].trimmed() : QString();
            if (idField >= 0 && !a.byId_.contains(id))
                a.byId_.insert(id, int(a.records_.size()));
            a.records_.push_back(std::move(values));
            if (!t->next())
                break;
        }
        a.present_ = true;
    } catch (const std::exception& e) {
        a.records_.clear();
        a.byId_.clear();
        a.error_ = QString::fromLocal8Bit(e.what());
    }
    return a;
}

int HistoryArchive::find(const QString& id) const
{
    return byId_.value(id.trimmed(), -1);
}

std::optional<QString> HistoryArchive::value(int record, const QString& field) const
{
    if (record < 0 || record >= recordCount())
        return std::nullopt;
    const auto it = fields_.constFind(field);
    if (it == fields_.constEnd())
        return std::nullopt;
    return *it < 0 ? QString() : records_[size_t(record)].at(*it);
}

} // namespace zedora
