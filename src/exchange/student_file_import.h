#pragma once
// Creating student files from the import table: one file for the chosen
// classes, or one file per class named after it.
#include "exchange/dbase_import.h"
#include "exchange/import_table.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace zedora {

struct StudentFileContext;

struct CreateRequest {
    QString dataDirectory;   // e.g. ZE-1415-1
    QString fileName;        // NeuFilename; with %KL% for one file per class
    bool perClass = true;    // SepDatei
    QStringList selected;    // chosen entries of the class list, "ALLE" included
    ImportSource source = ImportSource::Sibank;
    // Whether each file is confirmed before it is made (the dialog does,
    // batch runs do not). The question before overwriting is always asked.
    bool confirmEach = true;
};

struct CreatedFile {
    QString path;   // the .DBF
    int students = 0;
};

// The file-name proposal: %KL% plus characters 3 to 9 of the data
// directory's name in per-class mode, else "Alle".
QString proposedFileName(const QString& dataDirectory, bool perClass);

// Creates and fills the files; every message and question goes through
// context.ui. The salutations of the rows written are wrapped in the table.
std::vector<CreatedFile> createStudentFiles(ImportTable& table, const CreateRequest& request,
                                            const StudentFileContext& context);

// Appends the rows that pass the filter to an existing student file.
// Returns the number written; throws with a German text when a record
// cannot be written (the records written so far stay).
int fillStudentFile(const QString& dbfPath, ImportTable& table, const ClassFilter& filter);

} // namespace zedora
