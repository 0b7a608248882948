#include "exchange/export_mail_merge.h"

#include "base/ansi_text.h"
#include "base/safe_file.h"
#include "data/student_schema.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace zedora {

QString mailMergeValue(const QString& value)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QString v = value;
    v.replace(lineBreak, QStringLiteral(" "));
    v.replace(QLatin1Char(';'), QLatin1Char(','));
    return v;
}

QString mailMergeMemo(const QString& memo)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    // An empty memo has no line, so not even the blank.
    if (memo.isEmpty())
        return {};
    QString out;
    const QStringList lines = memo.split(lineBreak);
    for (int i = 0; i < lines.size(); ++i) {
        // A memo ending in a line break has no further line to write.
        if (i == lines.size() - 1 && lines[i].isEmpty() && i > 0)
            break;
        out += lines[i].trimmed() + QLatin1Char(' ');
    }
    return out.left(250);
}

QString mailMergeFileName(const QString& chosen)
{
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + QStringLiteral(".DOC") : chosen;
}

QStringList mailMergeHeader(const QStringList& fields)
{
    QStringList header{QStringLiteral("NAME"), QStringLiteral("VORNAME")};
    header += fields;
    header << QStringLiteral("AUORT") << QStringLiteral("AUDAT") << QStringLiteral("AUDAT2") << QStringLiteral("HJ")
           << QStringLiteral("SJ");
    return header;
}

QString mailMergeColumn(const QString& field, const QString& stored, const MailMergeMeanings& meanings)
{
    const QString name = upperAscii(field.trimmed());
    if (name == QLatin1String("NAME") || name == QLatin1String("VORNAME") || name == QLatin1String("KLASSE"))
        return stored;
    if (name == QLatin1String("ANR1") || name == QLatin1String("ANR2"))
        return stored.trimmed();
    const auto meaningOr = [&](const QString& otherwise) {
        const auto m = meanings.grade ? meanings.grade(stored) : std::nullopt;
        return m ? *m : otherwise;
    };
    switch (fieldKind(name)) {
    case FieldKind::AssessmentText:
        return mailMergeMemo(stored);
    case FieldKind::GraduationCode: {
        // An unknown code is written as it stands rather than dropped.
        const auto text = meanings.graduation ? meanings.graduation(stored) : std::nullopt;
        return text ? *text : stored.trimmed();
    }
    case FieldKind::Absence:
        return stored;
    case FieldKind::Grade:
    case FieldKind::CourseLevel:
        return meaningOr(stored.trimmed());
    default:
        return meaningOr(stored);
    }
}

QString writeMailMergeFile(const QString& path, const QStringList& header, const QVector<QStringList>& rows)
{
    QByteArray content;
    const auto line = [&](const QStringList& values) {
        QStringList safe;
        for (const QString& v : values)
            safe << mailMergeValue(v);
        content += toAnsi(safe.join(QLatin1Char(';')));
        content += "\r\n";
    };
    line(header);
    for (const QStringList& r : rows)
        line(r);
    if (!writeFileSafely(path, content))
        return QStringLiteral("Die Seriendruckdatei %1 konnte nicht geschrieben werden!").arg(path);
    return {};
}

} // namespace zedora
