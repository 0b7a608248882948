#include "base/profile_file.h"

#include "base/ansi_text.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace zedora {
namespace {

// No settings file comes near this; a bigger file is not read (and so never
// overwritten) rather than loaded into memory.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

QString decode(const QByteArray& bytes)
{
    // Windows also reads profile files saved as Unicode; keep their text.
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder d(QStringDecoder::Utf8);
        return d(bytes.mid(3));
    }
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder d(QStringDecoder::Utf16LE);
        return d(bytes.mid(2));
    }
    return fromAnsi(bytes);
}

bool isQuote(QChar c) { return c == QLatin1Char('"') || c == QLatin1Char('\''); }

// As Windows reads a value: trimmed, one pair of enclosing quotes removed.
QString valueOf(const QString& raw)
{
    const qsizetype eq = raw.indexOf(QLatin1Char('='));
    QString v = raw.mid(eq + 1).trimmed();
    if (v.size() >= 2 && isQuote(v.front()) && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    v.remove(QChar(0));
    return v;
}

// The value as it must stand in the file so that valueOf gives it back.
QString encodeValue(const QString& value)
{
    QString v = value;
    // A line break would end the line and let the rest pose as another key.
    for (QChar& c : v) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c.unicode() == 0)
            c = QLatin1Char(' ');
    }
    if (v.isEmpty())
        return v;
    const bool padded = v.front().isSpace() || v.back().isSpace();
    const bool quoted = v.size() >= 2 && isQuote(v.front()) && v.back() == v.front();
    if (padded || quoted)
        return QLatin1Char('"') + v + QLatin1Char('"');
    return v;
}

bool parseDecimal(const QString& text, int& out)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        const bool sign = i == 0 && (c == QLatin1Char('-') || c == QLatin1Char('+'));
        if (!sign && (c < QLatin1Char('0') || c > QLatin1Char('9')))
            return false;
    }
    bool ok = false;
    const int v = t.toInt(&ok, 10);
    if (ok)
        out = v;
    return ok;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

ProfileFile::Line ProfileFile::parseLine(const QString& raw)
{
    Line line;
    line.raw = raw;
    const QString t = raw.trimmed();
    if (t.startsWith(QLatin1Char('['))) {
        const qsizetype close = t.indexOf(QLatin1Char(']'));
        line.header = true;
        line.section = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
        line.section.remove(QChar(0));
        return line;
    }
    if (t.startsWith(QLatin1Char(';')))
        return line;
    const qsizetype eq = raw.indexOf(QLatin1Char('='));
    if (eq > 0) {
        line.key = raw.left(eq).trimmed();
        line.key.remove(QChar(0));
    }
    return line;
}

void ProfileFile::parse(const QString& text)
{
    lines_.clear();
    QStringList raws = text.split(QLatin1Char('\n'));
    if (!raws.isEmpty() && raws.back().isEmpty())
        raws.removeLast(); // the final line break does not open a line
    lines_.reserve(size_t(raws.size()));
    for (QString& raw : raws) {
        if (raw.endsWith(QLatin1Char('\r')))
            raw.chop(1);
        lines_.push_back(parseLine(raw));
    }
}

bool ProfileFile::load(const QString& path)
{
    lines_.clear();
    unreadable_ = false;
    error_.clear();
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    QFile f(path);
    if (info.isDir() || info.size() > kMaxFileSize || !f.open(QIODevice::ReadOnly)) {
        unreadable_ = true;
        error_ = info.isDir() ? QStringLiteral("%1 ist ein Verzeichnis").arg(path) : f.errorString();
        return false;
    }
    const QByteArray bytes = f.read(kMaxFileSize + 1);
    if (f.error() != QFile::NoError || bytes.size() > kMaxFileSize) {
        unreadable_ = true;
        error_ = f.errorString();
        return false;
    }
    parse(decode(bytes));
    return true;
}

ProfileFile ProfileFile::fromFile(const QString& path)
{
    ProfileFile p;
    p.load(path);
    return p;
}

ProfileFile ProfileFile::fromText(const QString& text)
{
    ProfileFile p;
    p.parse(text);
    return p;
}

int ProfileFile::findSection(const QString& section) const
{
    for (size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].header && sameName(lines_[i].section, section))
            return int(i);
    }
    return -1;
}

int ProfileFile::sectionEnd(int header) const
{
    size_t i = size_t(header) + 1;
    while (i < lines_.size() && !lines_[i].header)
        ++i;
    return int(i);
}

int ProfileFile::findKey(int header, const QString& key) const
{
    if (key.isEmpty())
        return -1;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        if (!lines_[size_t(i)].key.isEmpty() && sameName(lines_[size_t(i)].key, key))
            return i;
    }
    return -1;
}

const ProfileFile::Line* ProfileFile::findLine(const QString& section, const QString& key) const
{
    const int h = findSection(section);
    if (h < 0)
        return nullptr;
    const int k = findKey(h, key);
    return k < 0 ? nullptr : &lines_[size_t(k)];
}

bool ProfileFile::hasSection(const QString& section) const
{
    return findSection(section) >= 0;
}

bool ProfileFile::hasKey(const QString& section, const QString& key) const
{
    return findLine(section, key) != nullptr;
}

QStringList ProfileFile::keys(const QString& section) const
{
    QStringList out;
    const int h = findSection(section);
    if (h < 0)
        return out;
    const int end = sectionEnd(h);
    for (int i = h + 1; i < end; ++i) {
        if (!lines_[size_t(i)].key.isEmpty())
            out << lines_[size_t(i)].key;
    }
    return out;
}

QString ProfileFile::readString(const QString& section, const QString& key, const QString& def) const
{
    const Line* line = findLine(section, key);
    return line ? valueOf(line->raw) : def;
}

int ProfileFile::readInt(const QString& section, const QString& key, int def) const
{
    const Line* line = findLine(section, key);
    int v = def;
    if (line && parseDecimal(valueOf(line->raw), v))
        return v;
    return def;
}

bool ProfileFile::readBool(const QString& section, const QString& key, bool def) const
{
    return readInt(section, key, def ? 1 : 0) != 0;
}

void ProfileFile::writeString(const QString& section, const QString& key, const QString& value)
{
    Line line;
    line.key = key;
    line.raw = key + QLatin1Char('=') + encodeValue(value);

    int h = findSection(section);
    if (h < 0) {
        if (!lines_.empty() && !lines_.back().raw.trimmed().isEmpty())
            lines_.push_back(Line{});
        Line header;
        header.header = true;
        header.section = section;
        header.raw = QLatin1Char('[') + section + QLatin1Char(']');
        lines_.push_back(header);
        lines_.push_back(line);
        return;
    }
    const int k = findKey(h, key);
    if (k >= 0) {
        lines_[size_t(k)] = line;
        return;
    }
    // After the section's last key, so blank lines and comments that close
    // the section stay in front of the next one.
    int at = h + 1;
    const int end = sectionEnd(h);
    for (int i = h + 1; i < end; ++i) {
        if (!lines_[size_t(i)].key.isEmpty())
            at = i + 1;
    }
    lines_.insert(lines_.begin() + at, line);
}

void ProfileFile::writeInt(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString ProfileFile::text() const
{
    QString out;
    for (const Line& l : lines_) {
        out += l.raw;
        out += QLatin1String("\r\n");
    }
    return out;
}

ProfileFile::SaveStatus ProfileFile::save(const QString& path) const
{
    error_.clear();
    if (unreadable_) {
        error_ = QStringLiteral("%1 konnte nicht gelesen werden").arg(path);
        return SaveStatus::NotCreated;
    }
    if (QFileInfo(path).isDir()) {
        error_ = QStringLiteral("%1 ist ein Verzeichnis").arg(path);
        return SaveStatus::NotCreated;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        error_ = f.errorString();
        return SaveStatus::NotCreated;
    }
    const QByteArray bytes = toAnsi(text());
    if (f.write(bytes) != bytes.size()) {
        error_ = f.errorString();
        f.cancelWriting();
        return SaveStatus::NotCompleted;
    }
    if (!f.commit()) {
        error_ = f.errorString();
        return SaveStatus::NotCompleted;
    }
    return SaveStatus::Saved;
}

ProfileFile::SaveStatus ProfileFile::writeKey(const QString& path, const QString& section,
                                              const QString& key, const QString& value)
{
    ProfileFile p;
    p.load(path);
    p.writeString(section, key, value);
    return p.save(path);
}

} // namespace zedora
