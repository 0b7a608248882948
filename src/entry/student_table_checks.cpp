#include "entry/student_table_checks.h"

namespace zedora {

StudentTable::ChangeCheck makeStudentTableCheck(const AbbreviationTables& tables, Interaction& ui,
                                                StudentTableCheckHooks hooks)
{
    return [&tables, &ui, hooks = std::move(hooks)](const QString& field,
                                                    const QString& value) -> std::optional<QString> {
        const AbbreviationCheckContext context = hooks.context ? hooks.context(field)
                                                               : AbbreviationCheckContext{};
        const ChangeCheckResult result = tables.checkChange(field, value, context);
        switch (result.outcome) {
        case ChangeCheckResult::Outcome::Accepted:
            return value;
        case ChangeCheckResult::Outcome::DiscardEdit:
            if (hooks.discardEdit)
                hooks.discardEdit();
            return std::nullopt;
        case ChangeCheckResult::Outcome::Refused:
            break;
        }
        showRefusal(result, ui);
        if (hooks.refused)
            hooks.refused(field);
        return QString::fromLatin1(kRefusedValue);
    };
}

} // namespace zedora
