// Reading a whole file for the layout loader.
//
// Paths are Shift-JIS texts like every text of the program; they are converted for the file system
// here. Failures are base::Error exceptions whose message names the file and the system's reason.
#pragma once

#include <cstddef>
#include <string>

// A layout file is a few kilobytes. The model takes up to about 60 times the bytes of a file (a
// file of nothing but "box{}" makes 3 million boxes of 16 MB), so the limit keeps a wrong file (a
// disk image, a video) from taking the memory of the machine, while leaving room for generated
// layouts of a few hundred thousand elements.
inline constexpr std::size_t kMaxLayoutFileSize = std::size_t{16} << 20;

// True when something (a file, a folder) exists at the path; false when nothing does. A path that
// cannot be examined (no permission on a folder on the way) throws.
bool PathExists(const std::string& path);

// The bytes of a regular file of at most maxBytes bytes.
std::string ReadWholeFile(const std::string& path, std::size_t maxBytes);
