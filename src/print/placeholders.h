#pragma once
// Placeholders of the form %NAME% in the texts of entries and text blocks:
// values of the current student record, school settings and words that
// depend on the student's sex, formatted for print.
#include <QString>
#include <QStringList>
#include <optional>

namespace zedora {

class Interaction;
struct Settings;

// The current record, whatever holds it (the student table, a test).
class RecordValues {
public:
    virtual ~RecordValues() = default;
    // name is upper case.
    virtual bool hasField(const QString& name) const = 0;
    // The field's text as the table gives it (memo fields: the whole memo).
    virtual QString value(const QString& name) const = 0;
    // The field class (kind) of the student-file schema; 0 for others.
    virtual int fieldClass(const QString& name) const;
};

// Grade abbreviations and graduation codes with their meanings.
class CodeMeanings {
public:
    virtual ~CodeMeanings() = default;
    // Meaning 1 or 2 (which) of the first abbreviation equal to the trimmed,
    // upper-cased value; nothing when none is defined.
    virtual std::optional<QString> gradeMeaning(const QString& value, int which) const = 0;
    // Meaning of the graduation code (trimmed, upper case); nothing when unknown.
    virtual std::optional<QString> graduationMeaning(const QString& code) const = 0;
};

// Form modes of the print centre.
enum class FormMode { AllData = 0, HeadDataOnly = 1, EmptyForm = 2, VariableNames = 3 };

// Grade formats: how grades print.
inline constexpr int kGradeMeaning1 = 0;
inline constexpr int kGradeMeaning2 = 1;
inline constexpr int kGradeAbbreviation = 2;

struct PlaceholderContext {
    const Settings* settings = nullptr;     // required
    const RecordValues* record = nullptr;   // nullptr: no record, every field is unknown
    const CodeMeanings* codes = nullptr;    // nullptr: nothing defined
    Interaction* ui = nullptr;              // for "Variable ... nicht gefunden!"
    FormMode formMode = FormMode::AllData;
    int gradeFormat = kGradeMeaning1;
    int runningNumber = 1;                  // LNR
    QStringList epochalSubjects;            // upper-case field names
    QString freeEntryColumns;               // "#FIELD#FIELD#": never converted
};

inline constexpr int kPlaceholderRounds = 11;
inline constexpr int kValueCapacity = 250;
inline constexpr int kTextCapacity = 254;   // a replaced text as a whole
inline constexpr int kTextBlockColumnCapacity = 3995;

// Replaces up to eleven placeholders; a lone '%' ends the replacement. The
// replaced text is cut to kTextCapacity.
QString replacePlaceholders(const QString& text, const PlaceholderContext& context);

// The memo text of the last %TBn% reference, prepared for the word wrap;
// the literal text around the references is dropped.
QString fetchTextBlockColumn(const QString& text, const PlaceholderContext& context);

// Filter "G" + a list of quoted values keeps only those values, "U" + a list
// drops them; any other filter keeps the value.
QString applyFilter(const QString& value, const QString& filter);

// Date formats: 0 dd.mm.yy, 1 dd.mm.yyyy, 2 d. Monat yyyy. A blank text stays
// blank; a text that is no date (or another format) is returned as it was.
QString formatDate(const QString& text, int format);

// Two decimals with a decimal comma; 0, negative or unreadable: empty.
QString formatAverage(const QString& text);

// The surname stored as "Müller, von" prints as "von Müller".
QString nameTurnedRound(const QString& surname);

// A grade value as it prints under the context's grade format.
QString convertGradeValue(const QString& value, const QString& field, int fieldClass,
                          const PlaceholderContext& context);

// A graduation code as it prints under the context's grade format.
QString graduationText(const QString& code, const PlaceholderContext& context);

} // namespace zedora
