#pragma once
// The mail-merge export of the open student file: the save dialog and the
// questions, one line per student in the order the sort order asks for,
// and the table left on its first record in its own order again.
#include "exchange/export_mail_merge.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zedora {

class Interaction;
class StudentTable;
struct Settings;

struct MailMergeRequest {
    QString workspace;        // where the save dialog starts
    QStringList shownFields;  // the fields of the entry table's columns, any order
};

inline const QString kMailMergeDefaultName = QStringLiteral("SERIE.DOC");

// Returns the path written; nothing when the user stopped or the file could
// not be written (then the old file, if any, is left as it was).
std::optional<QString> exportMailMerge(Interaction& ui, StudentTable& table, const Settings& settings,
                                       const MailMergeRequest& request, const MailMergeMeanings& meanings);

} // namespace zedora
