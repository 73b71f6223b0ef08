// What the documentation tests share: the fenced code blocks of the Markdown files, the external
// tools they call (found on the PATH, or a failure that says how to get them), and running a program
// with a clean environment of its own.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/RunProgram.h"

namespace docs_test {

namespace fs = std::filesystem;

inline const fs::path kSource = TESSORA_SOURCE_DIR;
inline const fs::path kBuild = TESSORA_BINARY_DIR;

inline std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A fenced code block of a Markdown file: "```info" ... "```".
struct CodeBlock {
  fs::path file;
  int line = 0;          // of the opening fence
  std::string language;  // first word of the info string: "sh", "lay", "csv", "text", or empty
  std::string name;      // second word: the file the reader is asked to write, or empty
  std::string text;      // the lines between the fences, each ending with "\n"

  std::string Where() const { return file.filename().string() + ":" + std::to_string(line); }
};

inline std::vector<CodeBlock> CodeBlocks(const fs::path& file) {
  std::vector<CodeBlock> blocks;
  std::istringstream in(ReadText(file));
  std::string line;
  int number = 0;
  CodeBlock* open = nullptr;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (open == nullptr) {
      if (line.rfind("```", 0) != 0) continue;
      CodeBlock& block = blocks.emplace_back();
      block.file = file;
      block.line = number;
      std::istringstream info(line.substr(3));
      info >> block.language >> block.name;
      open = &block;
    } else if (line == "```") {
      open = nullptr;
    } else {
      open->text += line + "\n";
    }
  }
  EXPECT_EQ(open, nullptr) << file << ": a code block is not closed";
  return blocks;
}

// The pages of the manual, in name order.
inline std::vector<fs::path> ManualPages() {
  std::vector<fs::path> pages;
  for (const auto& entry : fs::directory_iterator(kSource / "docs/manual"))
    if (entry.path().extension() == ".md") pages.push_back(entry.path());
  std::sort(pages.begin(), pages.end());
  return pages;
}

// An external tool on the PATH; empty (with a failure saying how to install it) when it is missing.
inline std::string Tool(const std::string& name, const std::string& package) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "/usr/bin:/bin");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    const fs::path candidate = fs::path(folder) / name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate.string();
  }
  ADD_FAILURE() << name << " is not installed (Debian package " << package
                << "; scripts/deps.sh installs it)";
  return {};
}

}  // namespace docs_test
