#pragma once
// Half-year labels (YY-ZZ-H) of the history view and the archive files
// they name.
#include <QString>
#include <QStringList>

namespace zedora {

inline constexpr int kMinVisibleHalfYears = 2;
inline constexpr int kMaxVisibleHalfYears = 16;

// The half-year before: 13-14-2 -> 13-14-1, 13-14-1 -> 12-13-2, and
// 00-01-1 -> 99-00-2. Empty for a text that is no label.
QString halfYearLabelBefore(const QString& label);

// The label of an archive file name, its characters 2 to 8:
// "A13-14-2.DBF" -> "13-14-2".
QString archiveLabel(const QString& archiveFileName);

// The headers of the half-year columns: the data directory of the open
// file, then the label of the archive before it and each label before the
// last, visible columns in all (kept within 2 to 16). Without a previous
// archive the earlier headers stay empty.
QStringList historyHeaders(const QString& dataDirectory, const QString& previousArchive, int visible);

// The archive file of a label in the workspace's ARCHIV folder, under any
// letter case; the spelling the program would create when missing.
QString archivePathOf(const QString& workspace, const QString& label);

} // namespace zedora
