#include "data/student_identity.h"

#include "base/ansi_text.h"
#include "base/dates.h"
#include "base/interaction.h"

namespace zedora {
namespace {

QString rightTrimmed(const QString& s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == QLatin1Char(' '))
        --n;
    return s.left(n);
}

} // namespace

QString studentIdentity(const QDate& birthDate, const QString& name, const QString& vorname)
{
    const QString id = QString::number(dayNumber(birthDate)) + upperAscii(rightTrimmed(name).left(3))
                       + upperAscii(rightTrimmed(vorname).left(7));
    return id.left(kIdentityLength);
}

std::optional<QString> normalBirthDate(const QString& geboren, const QDate& today)
{
    const std::optional<QDate> date = parseGermanDate(geboren, today);
    if (!date)
        return std::nullopt;
    return formatGermanDate(*date);
}

QString birthDateNormalForm(const QString& geboren, const QDate& today)
{
    return normalBirthDate(geboren, today).value_or(geboren);
}

IdentityUpdate identityOnSave(const QString& geboren, const QString& name, const QString& vorname,
                              Interaction& ui, const QDate& today)
{
    IdentityUpdate u;
    const std::optional<QDate> date = parseGermanDate(geboren, today);
    if (!date) {
        ui.error(QStringLiteral("FEHLER: Das Geburtsdatum ist falsch eingegeben! (TT.MM.JJJJ)\n"));
        u.geboren = geboren;
        return u;
    }
    u.birthDateValid = true;
    u.geboren = formatGermanDate(*date);
    u.id = studentIdentity(*date, name, vorname);
    return u;
}

ReorganisationIdentities::ReorganisationIdentities(QString filePath, Interaction& ui, QDate today)
    : filePath_(std::move(filePath)), ui_(ui), today_(today)
{
}

IdentityUpdate ReorganisationIdentities::next(const QString& geboren, const QString& name,
                                              const QString& vorname)
{
    IdentityUpdate u;
    const std::optional<QDate> date = parseGermanDate(geboren, today_);
    if (date) {
        u.birthDateValid = true;
        u.geboren = formatGermanDate(*date).left(10);
        u.id = studentIdentity(*date, name, vorname);
        return u;
    }
    u.geboren = geboren;
    u.id = QLatin1String(kUnknownBirthDateIdentity);
    if (!reported_) {
        reported_ = true;
        ui_.warning(QStringLiteral("In der Datei\n") + filePath_ + QStringLiteral("\n")
                 + QStringLiteral("befindet sich ein Schüler\n") + QStringLiteral("(")
                 + rightTrimmed(name) + QStringLiteral(", ") + rightTrimmed(vorname)
                 + QStringLiteral(")\n")
                 + QStringLiteral("mit falschem Geburtsdatumsformat! Bitte prüfen!\n\n")
                 + QStringLiteral("Nach Korrektur Datei bitte erneut reorganisieren!"));
    }
    return u;
}

} // namespace zedora
