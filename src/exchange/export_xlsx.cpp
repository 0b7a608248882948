#include "exchange/export_xlsx.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cstdio>

#include <xlsxwriter.h>

namespace zedora {
namespace {

// Whole numbers and decimals with either separator, as the tables show them.
bool asNumber(const QString& text, double& value)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 15)
        return false;
    bool ok = false;
    value = QLocale::c().toDouble(QString(t).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
    return ok && !t.contains(QLatin1Char('e'), Qt::CaseInsensitive);
}

// Trimmed, at most 250 characters, and never a formula.
QString cellText(const QString& text)
{
    QString t = text.trimmed().left(250);
    if (t.startsWith(QLatin1Char('=')))
        t.remove(0, 1);
    return t;
}

} // namespace

QString xlsxSheetName(const QString& name)
{
    QString out = name;
    for (QChar& c : out)
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = QLatin1Char('_');
    out = out.left(31).trimmed();
    return out.isEmpty() ? QStringLiteral("Tabelle") : out;
}

QString writeXlsx(const QString& path, const XlsxTable& table)
{
    const QString target = QFileInfo(path).absoluteFilePath();
    const QString scratch = target + QStringLiteral(".tmp");
    const QByteArray scratchName = QFile::encodeName(scratch);
    lxw_workbook* book = workbook_new(scratchName.constData());
    if (!book)
        return QStringLiteral("Die Datei %1 kann nicht angelegt werden!").arg(target);
    const QByteArray sheetName = xlsxSheetName(table.sheetName).toUtf8();
    lxw_worksheet* sheet = workbook_add_worksheet(book, sheetName.constData());
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);
    worksheet_write_string(sheet, 0, 0, table.title.toUtf8().constData(), bold);
    for (int r = 0; r < table.rows.size(); ++r) {
        const QStringList& row = table.rows[r];
        for (int c = 0; c < row.size(); ++c) {
            const lxw_row_t rr = lxw_row_t(r + 2);
            const lxw_col_t cc = lxw_col_t(c);
            const QString text = cellText(row[c]);
            double v = 0;
            if (r > 0 && asNumber(text, v))
                worksheet_write_number(sheet, rr, cc, v, nullptr);
            else if (!text.isEmpty())
                worksheet_write_string(sheet, rr, cc, text.toUtf8().constData(), r == 0 ? bold : nullptr);
        }
    }
    const lxw_error rc = workbook_close(book);
    if (rc != LXW_NO_ERROR) {
        QFile::remove(scratch);
        return QStringLiteral("Die Datei %1 konnte nicht geschrieben werden!").arg(target);
    }
    // rename() replaces the old file in one step on the same file system.
    if (std::rename(scratchName.constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(scratch);
        return QStringLiteral("Die Datei %1 konnte nicht geschrieben werden!").arg(target);
    }
    return {};
}

} // namespace zedora
