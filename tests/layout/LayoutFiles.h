// Layout files for the tests: written into a fresh temporary folder, loaded into a fresh layout.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "base/Sjis.h"
#include "layout/Layout.h"
#include "layout/LoadLayout.h"

namespace layout_test {

// A temporary folder removed with the object.
class TempFolder {
 public:
  TempFolder() {
    static int serial = 0;
    const std::string leaf = "tessora-layout-" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
    path_ = std::filesystem::temp_directory_path() / leaf;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }

  // Writes bytes as they are; returns the file's path.
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file.string();
  }

 private:
  std::filesystem::path path_;
};

// The outcome of loading one layout text.
struct Loaded {
  bool ok = false;
  std::string error;  // ErrorText, Shift-JIS
  std::string path;   // the file that was loaded
  std::unique_ptr<MLayout> layout = std::make_unique<MLayout>();
};

// Loads bytes (Shift-JIS, as a file holds them) written to a file named name.
inline Loaded LoadBytes(const std::string& bytes, const std::string& name = "test.lay") {
  static const TempFolder folder;  // one folder for the run; the files are small
  Loaded result;
  result.path = folder.Write(name, bytes);
  MLoadLayout loader(*result.layout);
  result.ok = loader.Load(result.path);
  result.error = loader.ErrorText;
  return result;
}

// Loads a layout written in UTF-8 in the test's source.
inline Loaded LoadUtf8(const std::string& utf8, const std::string& name = "test.lay") {
  return LoadBytes(base::Utf8ToSjis(utf8), name);
}

inline std::string Sjis(const std::string& utf8) { return base::Utf8ToSjis(utf8); }

}  // namespace layout_test
