#pragma once
// The dBase templates and demo files installed in MUSTER: made at build time
// with our own engine from the student-file schema, so they always match
// the code. Every writer replaces its files in the folder only once they
// are complete and throws std::runtime_error (German text) on failure.
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace zedora::templates {

// Empty student file: MUSTER.MS1 (.DBF) and MUSTER.MS3 (.DBT), no index.
void writeStudentTemplate(const QString& dir);
// Empty text-block file FLOSKEL.MST (ID, INHALT).
void writeTextBlockTemplate(const QString& dir);
// The demo text blocks #demo.dbf, with topic headings.
void writeDemoTextBlocks(const QString& dir);
// The demo class demo.dbf with its memos demo.dbt, no index.
void writeDemoClass(const QString& dir);
// The column layout of the demo class, fdf.mst.
void writeDemoColumnLayout(const QString& dir);
// Column lines for every field of the student file, FACH-ALL.MST: two
// heading lines, then one line per field.
void writeAllFieldsColumnLines(const QString& dir);

// All of the above.
void writeAll(const QString& dir);

// ---- content, shared by the writers

struct TextBlock {
    const char* id;   // at most 4 characters, upper case
    const char* text; // UTF-8; "=" starts a topic heading
};
const std::vector<TextBlock>& demoTextBlocks();

// A text block's placeholders filled in for one student, the way the
// program does it when a block is put into a student's text.
QString fillPlaceholders(const QString& blockText, const QString& vorname, bool boy);

// Column lines as column-layout files hold them: name in 19, caption in 40,
// width in 3 characters.
QString columnFileLine(const QString& field, const QString& caption, int width);
QStringList demoColumnLines();
QStringList allFieldsColumnLines();

// The records of the demo class: field name and value (text as the program
// shows it; memo lines end in CR LF).
using FieldValues = std::vector<std::pair<QString, QString>>;
std::vector<FieldValues> demoClassRecords();

} // namespace zedora::templates
