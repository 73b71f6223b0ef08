#include "data/Recovery.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

std::string ReadBytes(const std::string& nativePath) {
  std::ifstream in(nativePath, std::ios::binary);
  if (!in) return {};
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// The start time of a process (clock ticks since boot, field 22 of /proc/PID/stat), or empty when
// there is no such process. With the id it names one process for good: ids are reused, start times
// of one boot are not.
std::string ProcessStart(long pid) {
  const std::string stat = ReadBytes("/proc/" + std::to_string(pid) + "/stat");
  // The command name (field 2) may hold blanks and parentheses: the fields after it follow the last ")".
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return {};
  std::istringstream fields(stat.substr(close + 1));
  std::string field;
  for (int i = 3; i <= 22; ++i) {
    if (!(fields >> field)) return {};
  }
  return field;
}

constexpr std::string_view kUntitledPrefix = "untitled-";
constexpr std::string_view kCopySuffix = ".recover";

// The process an untitled copy's name stands for: "untitled-PID-START.recover".
bool UntitledOwner(std::string_view name, long& pid, std::string& start) {
  if (name.substr(0, kUntitledPrefix.size()) != kUntitledPrefix || name.size() <= kCopySuffix.size() ||
      name.substr(name.size() - kCopySuffix.size()) != kCopySuffix)
    return false;
  const std::string_view middle =
      name.substr(kUntitledPrefix.size(), name.size() - kUntitledPrefix.size() - kCopySuffix.size());
  const std::size_t dash = middle.find('-');
  if (dash == std::string_view::npos || dash == 0 || dash + 1 >= middle.size()) return false;
  pid = 0;
  for (const char c : middle.substr(0, dash)) {
    if (c < '0' || c > '9' || pid > 100000000) return false;
    pid = pid * 10 + (c - '0');
  }
  start = std::string(middle.substr(dash + 1));
  return std::all_of(start.begin(), start.end(), [](char c) { return c >= '0' && c <= '9'; });
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
  bytes = ReadBytes(NativePath(copy));
  return !bytes.empty();
}

void RemoveRecoveryCopy(std::string_view documentPath) {
  std::error_code ignored;
  fs::remove(NativePath(RecoveryPathFor(documentPath)), ignored);
}

std::string UntitledRecoveryPath() {
  const long pid = static_cast<long>(::getpid());
  return RecoveryFolder() + "/" + std::string(kUntitledPrefix) + std::to_string(pid) + "-" +
         ProcessStart(pid) + std::string(kCopySuffix);
}

void WriteUntitledRecoveryCopy(const std::string& bytes) {
  std::error_code ignored;
  fs::create_directories(NativePath(RecoveryFolder()), ignored);
  ReplaceDocumentFile(UntitledRecoveryPath(), bytes);
}

void RemoveUntitledRecoveryCopy() { RemoveRecoveryFile(UntitledRecoveryPath()); }

std::vector<MRecoveryCopy> FindUntitledRecoveryCopies() {
  struct Found {
    MRecoveryCopy copy;
    fs::file_time_type time;
  };
  std::vector<Found> found;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(NativePath(RecoveryFolder()), error)) {
    const std::string name = entry.path().filename().string();
    long pid = 0;
    std::string start;
    if (!UntitledOwner(name, pid, start) || !entry.is_regular_file(error)) continue;
    if (ProcessStart(pid) == start) continue;  // its editor still runs and keeps it
    std::string bytes = ReadBytes(entry.path().string());
    if (bytes.empty()) continue;
    const std::string path = RecoveryFolder() + "/" + name;  // the name is ASCII: the same in Shift-JIS
    found.push_back({{path, std::move(bytes)}, entry.last_write_time(error)});
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Found& a, const Found& b) { return a.time > b.time; });
  std::vector<MRecoveryCopy> copies;
  for (Found& f : found) copies.push_back(std::move(f.copy));
  return copies;
}

void RemoveRecoveryFile(std::string_view copyPath) {
  const std::string folder = RecoveryFolder() + "/";
  if (copyPath.substr(0, folder.size()) != folder ||
      copyPath.substr(folder.size()).find('/') != std::string_view::npos)
    return;
  std::error_code ignored;
  fs::remove(NativePath(copyPath), ignored);
}
