#pragma once
// Program name and version as shown to the user.
namespace zedora {
inline constexpr const char* kProgramCaption = "Zedora 7.3";
inline constexpr const char* kVersionText = "7.3";
inline constexpr int kVersionNumber = 7306;
} // namespace zedora
