#pragma once
// One earlier half-year of the history view: its archive file read once,
// every record kept in memory and found by the student identity, so a view
// of a whole class opens each archive a single time.
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace zedora {

class HistoryArchive {
public:
    // Rebuilds the index of an archive file whose .MDX is missing; false
    // when that failed.
    using Reorganise = std::function<bool(const QString& path)>;

    HistoryArchive() = default;

    // Reads the archive at path, keeping of each record the fields named in
    // wanted (a whole school's archive need not sit in memory). A missing
    // file gives an archive without records; one that cannot be read keeps
    // the engine's message in error().
    static HistoryArchive read(const QString& path, const QSet<QString>& wanted, const Reorganise& reorganise = {});

    bool present() const { return present_; }
    const QString& path() const { return path_; }
    const QString& error() const { return error_; }
    int recordCount() const { return int(records_.size()); }

    // The first record of an identity (trailing blanks do not count, so an
    // empty identity finds the first record without one); -1 when none.
    int find(const QString& id) const;
    // A field of a record; nothing when the archive lacks the field, empty
    // for one it has but that was not wanted.
    std::optional<QString> value(int record, const QString& field) const;

private:
    QString path_;
    QString error_;
    bool present_ = false;
    QHash<QString, int> fields_;   // every field: its place in a record, -1 when not kept
    std::vector<QStringList> records_;
    QHash<QString, int> byId_;
};

} // namespace zedora
