#pragma once
// Finding a student of the open file by the beginning of the name.
class QString;

namespace zedora {

class Interaction;
class StudentTable;

// Asks for a name and moves to the first visible record whose NAME begins
// with it, ignoring letter case. True when the cursor moved.
bool searchStudent(StudentTable& table, Interaction& ui);

// The row of the first record whose NAME begins with name; -1 for none.
int findStudentRow(const StudentTable& table, const QString& name);

} // namespace zedora
