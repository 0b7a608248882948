#pragma once
// The start order of the program, from the start parameter to the opened
// main window.
#include <QStringList>
#include <memory>

namespace zedora {

class AppContext;
class PasswordPrompts;
class TFMain;

// Runs every start step. Returns the main window, or nothing when the
// program must end (wrong start password three times; the window has then
// run its closing steps).
std::unique_ptr<TFMain> startProgram(AppContext& context, const QStringList& arguments,
                                     PasswordPrompts& prompts);

} // namespace zedora
