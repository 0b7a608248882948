#pragma once
// The student photo for "%SCHFOTO%" on a report card.
#include <QString>
#include <functional>

namespace zedora {

class RecordValues;
struct Settings;

// The photo file of the record being printed, from the photo folder and
// the male letter as the settings hold them when the card is drawn; empty
// when the student has no photo. settings must outlive the hook.
std::function<QString(const RecordValues&)> studentPhotoHook(const Settings& settings);

} // namespace zedora
