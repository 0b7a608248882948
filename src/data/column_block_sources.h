#pragma once
// Where a layout without column block gets one from (the buttons of the
// window "Aussehen der Eingabetabelle"), and choosing the column-layout
// file and the layout of a student file. Each change leaves a complete
// block in the lines (at least three column lines).
#include "data/file_assignments.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zedora {

class Interaction;

// "Start": a column for every field the layout prints. allFieldLines are the
// lines of MUSTER\FACH-ALL.MST; they are taken from the third line on.
void blockFromPrintedFields(QStringList& layoutLines, const QStringList& allFieldLines);
// "FDF-Auswahl": the column lines of a column-layout file.
void blockFromColumnFile(QStringList& layoutLines, const QStringList& columnFileLines);
// "LAY-Auswahl": the block of another layout. False (with the message)
// when that layout has none; the lines stay unchanged then.
bool blockFromOtherLayout(QStringList& layoutLines, const QStringList& otherLayoutLines,
                          Interaction& ui);

// The three buttons with their file dialogs. True when the lines changed.
bool runPrintedFieldsButton(QStringList& layoutLines, const QString& workspaceDir);
bool runColumnFileButton(QStringList& layoutLines, const QString& workspaceDir, Interaction& ui);
bool runOtherLayoutButton(QStringList& layoutLines, const QString& currentLayout, Interaction& ui);

// The column-layout file chosen in DEFINI: its name in upper case (at most
// 40 characters), nothing when cancelled.
std::optional<QString> chooseColumnLayoutFile(const QString& workspaceDir, Interaction& ui);

// The layout chosen for the student file, nothing when cancelled. A layout
// from the template folder is copied into LAYOUT\Testen and that copy is used.
// written and directoryCreated feed the created-files register.
std::optional<QString> chooseLayout(const QString& workspaceDir, const QString& currentLayout,
                                    Interaction& ui, const FileWrittenCallback& written = {},
                                    const FileWrittenCallback& directoryCreated = {});

} // namespace zedora
