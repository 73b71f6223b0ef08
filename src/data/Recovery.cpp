#include "data/Recovery.h"

#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/Sjis.h"
#include "data/MapFile.h"
#include "data/MapIni.h"

namespace {

namespace fs = std::filesystem;

// 64-bit FNV-1a: a stable name for a path, the same in every run.
std::uint64_t PathHash(std::string_view path) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const char c : path) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  return hash;
}

bool ModifiedTime(std::string_view path, struct timespec& when) {
  struct stat st {};
  if (::stat(NativePath(path).c_str(), &st) != 0) return false;
  when = st.st_mtim;
  return true;
}

}  // namespace

std::string RecoveryFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return base::Utf8ToSjis(std::string(state) + "/tessora");
  const char* home = std::getenv("HOME");
  return base::Utf8ToSjis(std::string(home != nullptr && home[0] != '\0' ? home : "/tmp") +
                          "/.local/state/tessora");
}

std::string RecoveryPathFor(std::string_view documentPath) {
  // The file name alone is kept readable (ASCII letters and digits) for whoever looks in the folder.
  const std::string native = NativePath(documentPath);
  const std::size_t slash = native.rfind('/');
  std::string name;
  for (const char c : std::string_view(native).substr(slash == std::string::npos ? 0 : slash + 1)) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.';
    if (plain && name.size() < 40) name += c;
  }
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(PathHash(documentPath)));
  return RecoveryFolder() + "/" + hash + "-" + name + ".recover";
}

void WriteRecoveryCopy(std::string_view documentPath, const std::string& bytes) {
  std::error_code ignored;
  fs::create_directories(NativePath(RecoveryFolder()), ignored);
  ReplaceDocumentFile(RecoveryPathFor(documentPath), bytes);
}

bool FindRecoveryCopy(std::string_view documentPath, std::string& bytes) {
  const std::string copy = RecoveryPathFor(documentPath);
  struct timespec copyTime {
  }, fileTime{};
  if (!ModifiedTime(copy, copyTime)) return false;
  if (ModifiedTime(documentPath, fileTime)) {
    // File times come from a coarse clock: a copy written a moment after the file may carry its very
    // time. Offered then too: a copy exists only for changes not saved, and the user can say No.
    const bool older = copyTime.tv_sec < fileTime.tv_sec ||
                       (copyTime.tv_sec == fileTime.tv_sec && copyTime.tv_nsec < fileTime.tv_nsec);
    if (older) return false;
  }
  std::ifstream in(NativePath(copy), std::ios::binary);
  if (!in) return false;
  std::ostringstream content;
  content << in.rdbuf();
  bytes = content.str();
  return !bytes.empty();
}

void RemoveRecoveryCopy(std::string_view documentPath) {
  std::error_code ignored;
  fs::remove(NativePath(RecoveryPathFor(documentPath)), ignored);
}
