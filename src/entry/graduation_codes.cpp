#include "entry/graduation_codes.h"

#include "base/ansi_text.h"
#include "base/safe_file.h"
#include "entry/abbreviation_file.h"

namespace zedora {
namespace {

// Far more lines than any list of graduation codes has.
constexpr int kMaxLines = 1000;

// A line break inside a grid cell would start another line of the file.
QString oneLine(const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t.trimmed();
}

QString codeOfLine(const QString& line)
{
    return upperAscii(line.left(7)).trimmed().left(4).trimmed();
}

} // namespace

bool GraduationCodes::load(const QString& path)
{
    const auto lines = readLeadingLines(path, kMaxLines);
    if (!lines)
        return false;
    setLines(*lines);
    return true;
}

void GraduationCodes::setLines(const QStringList& lines)
{
    entries_ = {};
    allowed_ = QStringLiteral("##");
    messageText_.clear();
    for (int i = 0; i < kGraduationRows && i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (line.left(7).trimmed().isEmpty())
            continue;
        GraduationCode& e = entries_[size_t(i)];
        e.code = codeOfLine(line);
        e.longName = line.mid(7, kGraduationNameLength).trimmed();
        allowed_ += e.code + QLatin1Char('#');
        messageText_ += QLatin1Char('\n') + e.code;
    }
    dropDown_ = QStringList{QStringLiteral("    ")};
    for (const QString& line : lines) {
        const QString code = upperAscii(line.left(4)).trimmed();
        if (!code.isEmpty())
            dropDown_ << code;
    }
}

ChangeCheckResult GraduationCodes::check(const QString& text) const
{
    const QString value = upperAscii(text.trimmed());
    // A '#' inside the value could match across two codes ("HS#RS").
    if (!value.contains(QLatin1Char('#'))
        && allowed_.contains(QLatin1Char('#') + value + QLatin1Char('#')))
        return ChangeCheckResult::accept();
    return {ChangeCheckResult::Outcome::Refused,
            QString::fromUtf8("Unzulässige Eingabe!\n\nZulässig sind folgende Kürzel: \n")
                + messageText_ + QStringLiteral("\n\n") + QStringLiteral("Siehe Voreinstellungen!"),
            true};
}

std::vector<GraduationCode> parseGraduationRows(const QStringList& lines)
{
    std::vector<GraduationCode> rows(kGraduationRows);
    for (int i = 0; i < kGraduationRows && i < lines.size(); ++i) {
        rows[size_t(i)].code = lines.at(i).left(4).trimmed();
        rows[size_t(i)].longName = lines.at(i).mid(7, kGraduationNameLength).trimmed();
    }
    return rows;
}

QByteArray formatGraduationFile(const std::vector<GraduationCode>& rows,
                                const QStringList& linesAfterRows)
{
    QByteArray out;
    for (size_t i = 0; i < size_t(kGraduationRows); ++i) {
        const GraduationCode row = i < rows.size() ? rows[i] : GraduationCode{};
        QString line = upperAscii(oneLine(row.code)).leftJustified(7, QLatin1Char(' '), true)
                       + oneLine(row.longName).left(kGraduationNameLength);
        out += toAnsi(line) + "\r\n";
    }
    for (const QString& line : linesAfterRows)
        out += toAnsi(line) + "\r\n";
    return out;
}

bool writeGraduationFile(const QString& path, const std::vector<GraduationCode>& rows,
                         const QStringList& linesAfterRows, const FileWrittenCallback& written)
{
    if (!writeFileSafely(path, formatGraduationFile(rows, linesAfterRows)))
        return false;
    if (written)
        written(path);
    return true;
}

} // namespace zedora
