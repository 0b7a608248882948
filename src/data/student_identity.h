#pragma once
// The student identity ties one student's records in different files
// together: day number of the birth date + 3 letters of the surname + 7 of
// the first name, at most 15 characters.
#include <QDate>
#include <QString>
#include <optional>

namespace zedora {

class Interaction;

inline constexpr int kIdentityLength = 15;
// Identity given by the reorganisation to a record whose birth date cannot be read.
inline constexpr const char* kUnknownBirthDateIdentity = "000";

// name, vorname: the field values as the table gives them (trailing blanks
// do not count).
QString studentIdentity(const QDate& birthDate, const QString& name, const QString& vorname);

// The birth date in normal form dd.mm.yyyy, or nothing when the text is no date.
std::optional<QString> normalBirthDate(const QString& geboren,
                                       const QDate& today = QDate::currentDate());
// The normal form, or the text unchanged when it is no date.
QString birthDateNormalForm(const QString& geboren, const QDate& today = QDate::currentDate());

struct IdentityUpdate {
    QString id;
    QString geboren;
    bool birthDateValid = false;
};

// The first save of a record while master data are edited: a readable
// birth date gives the identity and the normal form; otherwise the user
// is told, the identity is empty and the birth date stays as typed.
IdentityUpdate identityOnSave(const QString& geboren, const QString& name, const QString& vorname,
                              Interaction& ui, const QDate& today = QDate::currentDate());

// One reorganisation run: every record gets its identity; a birth date that
// cannot be read gives "000", and the first such record of the run is
// reported to the user.
class ReorganisationIdentities {
public:
    ReorganisationIdentities(QString filePath, Interaction& ui,
                             QDate today = QDate::currentDate());

    IdentityUpdate next(const QString& geboren, const QString& name, const QString& vorname);
    bool reported() const { return reported_; }

private:
    QString filePath_;
    Interaction& ui_;
    QDate today_;
    bool reported_ = false;
};

} // namespace zedora
