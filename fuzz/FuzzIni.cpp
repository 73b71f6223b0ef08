// The ini reader and the configuration built on it, with path resolution through folder aliases.
//
// The input is the configuration file beside a program in the scratch folder. Every line of the
// input is also resolved as a path, so that the paths meet the aliases the same file defines.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "base/Error.h"
#include "base/IniText.h"
#include "base/Sjis.h"
#include "data/MapIni.h"

namespace {

// What the reading rules promise of every kept line.
void CheckSection(const base::IniText& ini, std::string_view section) {
  for (const std::string& line : ini.LineTexts(section)) {
    FUZZ_CHECK(!line.empty() && line.front() != ';');
    FUZZ_CHECK(base::Trim(line).size() == line.size());
    const std::size_t eq = base::FindBytes(line, "=");
    if (eq != std::string::npos) {
      // A blank may stay before "=" only as the second byte of a broken double-byte character.
      FUZZ_CHECK(eq == 0 || static_cast<unsigned char>(line[eq - 1]) > 0x20 ||
                 base::IsTrailByteAt(line, eq - 1));
      // The kept line is what a second reading keeps: reading is a fixed point.
      FUZZ_CHECK(base::IniText("[s]\n" + line).LineTexts("s") == std::vector<std::string>{line});
      FUZZ_CHECK(eq + 1 == line.size() || static_cast<unsigned char>(line[eq + 1]) > 0x20);
    }
  }
  const std::vector<std::string> keys = ini.Keys(section);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) FUZZ_CHECK(!base::SameText(keys[i], keys[j]));
    std::string value;
    FUZZ_CHECK(ini.FindValue(section, keys[i], value));
    FUZZ_CHECK(ini.ReadString(section, keys[i],
                              "\x01"
                              "fallback") == value);
  }
}

// A full path: absolute, no empty, "." or ".." part, no separator at the end but for the root.
void CheckFullPath(const std::string& path) {
  FUZZ_CHECK(!path.empty() && path.front() == '/');
  FUZZ_CHECK(path == "/" || path.back() != '/');
  std::size_t start = 1;
  while (start < path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string_view part = std::string_view(path).substr(start, end - start);
    FUZZ_CHECK(!part.empty() && part != "." && part != "..");
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::Bytes(data, size);
  const fuzz::ScratchFolder& scratch = fuzz::Scratch();

  const base::IniText ini(input);
  CheckSection(ini, "config");
  CheckSection(ini, "folder_alias");
  const std::vector<std::string> lines = base::SplitLines(input);
  for (std::size_t i = 0; i < lines.size() && i < 16; ++i) {
    const std::string_view line = base::Trim(lines[i]);
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']')
      CheckSection(ini, line.substr(1, line.size() - 2));
  }

  scratch.Write("tessora.ini", input);
  const MIni config(scratch.File("tessora"));
  FUZZ_CHECK(config.ProgramFolder() == scratch.Path());
  CheckFullPath(config.TempFolder());
  CheckFullPath(config.MapFolder());
  const MFolderAliases& aliases = config.FolderAliases();
  FUZZ_CHECK(aliases.Tokens.size() == aliases.Folders.size());
  FUZZ_CHECK(aliases.Tokens.size() == ini.Keys("folder_alias").size());
  for (const std::string& folder : aliases.Folders) CheckFullPath(folder);

  std::vector<std::string> paths = {"<img>\\a.png", "<IMG>\\<img>\\b", "..\\..\\x", "", "<", "><>"};
  for (std::size_t i = 0; i < lines.size() && i < 16; ++i) paths.push_back(lines[i]);
  for (const std::string& path : paths) {
    const std::string resolved = config.ResolvePath(path);
    if (base::FindBytes(path, "<") == std::string::npos) FUZZ_CHECK(resolved == path);
    CheckFullPath(config.FullPath(resolved));
    CheckFullPath(config.FullPath(path));
    (void)NativePath(resolved);
  }
  return 0;
}
