#include "entry/bulk_block_list.h"

#include "base/ansi_text.h"
#include "data/student_file_access.h"
#include "dbase/table.h"

#include <QFileInfo>

namespace zedora {

QStringList blockChoices(const QString& blockFilePath)
{
    QStringList list;
    if (blockFilePath.isEmpty() || !QFileInfo(blockFilePath).isFile())
        return list;
    try {
        auto t = openToRead(blockFilePath).table;
        const int id = t->findField("ID");
        const int text = t->findField("INHALT");
        if (id < 0 || text < 0)
            return list;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            list << fromAnsi(t->text(id)).trimmed().leftJustified(4, QLatin1Char(' ')) + QLatin1Char('>')
                        + fromAnsi(t->text(text)).simplified();
    } catch (const std::exception&) {
        list.clear(); // an unreadable file offers no blocks
    }
    return list;
}

} // namespace zedora
