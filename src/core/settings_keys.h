#pragma once
// Every key of ZEDORA.INI and ZDR-<computer name>.ini with its section, the
// spelling the writer uses, its width and how it is treated, in file order.
// PW.INI and the derived values are handled by SettingsFiles itself.
#include "core/settings.h"

#include <variant>
#include <vector>

namespace zedora::settings_keys {

enum class File { ProgramWide, PerComputer };

enum Flag {
    Plain = 0,
    Trimmed = 1,        // trimmed after reading
    UpperCase = 2,      // a-z upper-cased when read and when written
    NeverWritten = 4,
    NotRead = 8,
    GradeList = 16,     // normalised when read
    WrittenTrimmed = 32,
    StudentFilePath = 64, // stored relative to the workspace
    LayoutPath = 128,     // stored relative to the workspace
};

using Slots = std::array<QString, kLayoutSlots + 1>;
using Member = std::variant<QString Settings::*, int Settings::*, bool Settings::*, Slots Settings::*>;

struct Key {
    File file;
    const char* section;
    const char* name;      // as read
    const char* writtenAs; // nullptr: as read
    Member member;
    int width;             // texts: characters kept when read
    int flags;

    const char* writeName() const { return writtenAs ? writtenAs : name; }
};

const std::vector<Key>& keys();

// The slot numbers of the Layout-n keys that are read and written.
const std::vector<int>& layoutSlots();

} // namespace zedora::settings_keys
