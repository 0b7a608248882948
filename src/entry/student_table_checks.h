#pragma once
// Hooks the abbreviation and graduation checks into the student table, so
// that they run for every change of a checked field, whatever caused it.
#include "data/student_table.h"
#include "entry/abbreviation_tables.h"

#include <functional>

namespace zedora {

class Interaction;

struct StudentTableCheckHooks {
    // The situation of the change (exempt column, empty name, bulk work);
    // without it every field is checked with the empty-name rule off.
    std::function<AbbreviationCheckContext(const QString& field)> context;
    // The record has no name: its pending edit is to be dropped. The change
    // itself is refused.
    std::function<void()> discardEdit;
    // A value was refused and replaced by blanks (global change and history
    // edit want to know).
    std::function<void(const QString& field)> refused;
};

// The check for StudentTable::setChangeCheck. A refused value shows its
// message and is stored as two blanks.
StudentTable::ChangeCheck makeStudentTableCheck(const AbbreviationTables& tables, Interaction& ui,
                                                StudentTableCheckHooks hooks = {});

} // namespace zedora
