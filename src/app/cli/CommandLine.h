// What the modes of the command line share: their arguments and exit statuses.
#pragma once

#include <filesystem>
#include <span>
#include <string_view>

// The arguments after the mode's switch, as the shell gave them (UTF-8).
using CommandArgs = std::span<char* const>;

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
// Returned by a mode whose arguments are wrong: the dispatcher shows the usage and exits with it.
inline constexpr int kExitUsage = 2;

// A name from the command line (UTF-8) as a full path, relative to the shell's working directory.
inline std::filesystem::path FromShell(std::string_view argument) {
  return std::filesystem::absolute(std::filesystem::path(argument)).lexically_normal();
}
