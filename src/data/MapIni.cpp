#include "data/MapIni.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/Error.h"
#include "base/IniText.h"
#include "base/Numbers.h"
#include "base/Sjis.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDefaultImageCacheSize = 300;

// "." and ".." resolved, repeated separators merged and no trailing separator (except for the root
// itself). Done on the bytes: "/" and "." are never the second byte of a Shift-JIS character. Every
// image of a large document passes through here when it opens, so it stays a single pass.
std::string Normalized(const std::string& absolute) {
  std::string out;
  out.reserve(absolute.size() + 1);
  std::size_t pos = 0;
  while (pos < absolute.size()) {
    std::size_t end = absolute.find('/', pos);
    if (end == std::string::npos) end = absolute.size();
    const std::string_view part(absolute.data() + pos, end - pos);
    pos = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      out.resize(out.empty() ? 0 : out.rfind('/'));  // never above the root
      continue;
    }
    out += '/';
    out += part;
  }
  if (out.empty()) out = "/";
  return out;
}

// path (with "/" separators) as a full path, a relative one taken relative to folder.
std::string Absolute(std::string_view folder, std::string path) {
  if (!path.empty() && path.front() == '/') return Normalized(path);
  std::string joined(folder);
  if (joined.empty() || joined.back() != '/') joined += '/';
  return Normalized(joined + path);
}

bool FolderExists(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(NativePath(path), ec);
}

base::Error CannotEnterFolder(const std::string& folder, int error) {
  return base::Error(base::Utf8ToSjis("フォルダ \"") + folder + base::Utf8ToSjis("\" に移動できません。") +
                     std::strerror(error));
}

// The whole ini file, or nothing when there is none. Only a regular file is read: a folder or a pipe
// of that name counts as no file (opening without blocking, so that a pipe cannot stall start-up).
std::string ReadIniFile(const std::string& nativePath) {
  const int fd = ::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {};
  std::string text;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    char buf[65536];
    while (true) {
      const ssize_t n = ::read(fd, buf, sizeof buf);
      if (n > 0) {
        text.append(buf, static_cast<std::size_t>(n));
      } else if (n == 0) {
        break;
      } else if (errno != EINTR) {
        text.clear();  // half a file would be worse than the defaults
        break;
      }
    }
  }
  ::close(fd);
  return text;
}

// A folder setting as a full path; an empty value or a folder that does not exist gives the home
// folder (the program folder, or the user's folder of an installed copy), relative values are taken
// relative to it.
std::string FolderSetting(const base::IniText& ini, std::string_view section, std::string_view key,
                          std::string_view fallback, const std::string& homeFolder) {
  const std::string folder = Absolute(homeFolder, SlashSeparators(ini.ReadString(section, key, fallback)));
  return FolderExists(folder) ? folder : homeFolder;
}

// An installed copy: the program lives in a system folder (the package's /usr/bin) or one the user
// cannot write, which is no place for the user's configuration, temporary files or documents.
bool InstalledCopy(const std::string& nativeFolder) {
  return nativeFolder.rfind("/usr/", 0) == 0 || ::access(nativeFolder.c_str(), W_OK) != 0;
}

// An XDG base folder: the variable when it holds an absolute path, else fallback in the home folder.
std::string XdgFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/" + fallback;
}

std::string RunningProgram() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

}  // namespace

std::string SlashSeparators(std::string_view path) {
  std::string out(path);
  for (std::size_t i = 0; i < out.size(); i += base::CharSize(out, i)) {
    if (out[i] == '\\') out[i] = '/';
  }
  return out;
}

std::string NativePath(std::string_view path) { return base::SjisToUtf8(SlashSeparators(path)); }

MIni::MIni() : MIni(RunningProgram()) {}

MIni::MIni(std::string_view programPath) {
  std::error_code ec;
  const fs::path program = fs::absolute(fs::path(programPath), ec).lexically_normal();
  programFolder_ = Normalized(base::Utf8ToSjis(program.parent_path().string()));
  currentFolder_ = programFolder_;
  if (!FolderExists(programFolder_)) throw CannotEnterFolder(programFolder_, ENOENT);

  fs::path iniPath = program;
  iniPath.replace_extension(".ini");
  // Relative folders and aliases that name none are taken in the program folder; for an installed
  // copy, in the user's own folders instead ($XDG_CONFIG_HOME/tessora for the ini, $XDG_DATA_HOME/tessora
  // for the rest, with its "temp" and "data" folders made on the first start).
  homeFolder_ = programFolder_;
  if (InstalledCopy(program.parent_path().string())) {
    iniPath = fs::path(XdgFolder("XDG_CONFIG_HOME", ".config")) / "tessora" / "tessora.ini";
    const fs::path home = fs::path(XdgFolder("XDG_DATA_HOME", ".local/share")) / "tessora";
    std::error_code ignored;
    fs::create_directories(home / "temp", ignored);
    fs::create_directories(home / "data", ignored);
    if (fs::is_directory(home, ignored)) homeFolder_ = Normalized(base::Utf8ToSjis(home.string()));
  }
  const base::IniText ini(ReadIniFile(iniPath.string()));

  tempFolder_ = FolderSetting(ini, "config", "temp_folder", ".\\temp", homeFolder_);
  mapFolder_ = FolderSetting(ini, "config", "map_folder", ".\\data", homeFolder_);
  std::string value;
  int size = 0;
  if (ini.FindValue("config", "image_cache_size", value) && base::ParseIntAutoBase(value, size)) {
    imageCacheSize_ = size;
  } else {
    imageCacheSize_ = kDefaultImageCacheSize;
  }
  for (const std::string& key : ini.Keys("folder_alias")) {
    folderAliases_.Tokens.push_back("<" + key + ">");
    folderAliases_.Folders.push_back(FolderSetting(ini, "folder_alias", key, homeFolder_, homeFolder_));
  }
}

void MIni::SetCurrentFolder(std::string_view filePath) {
  const std::string path = SlashSeparators(filePath);
  // The folder part is everything before the last separator; "x.map" alone lies in CurrentFolder.
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? currentFolder_
                             : slash == 0               ? std::string("/")
                                                        : Absolute(currentFolder_, path.substr(0, slash));
  if (!FolderExists(folder)) throw CannotEnterFolder(folder, ENOENT);
  currentFolder_ = folder;
}

std::string MIni::ResolvePath(std::string_view path) const {
  const std::size_t open = base::FindBytes(path, "<");
  const std::size_t close = base::FindBytes(path, ">");
  if (open == std::string_view::npos || close == std::string_view::npos || close < open)
    return std::string(path);
  const std::string_view token = path.substr(open, close - open + 1);
  std::string_view folder = homeFolder_;
  for (std::size_t i = 0; i < folderAliases_.Tokens.size(); ++i) {
    if (base::SameText(folderAliases_.Tokens[i], token)) {
      folder = folderAliases_.Folders[i];
      break;
    }
  }
  return base::ReplaceText(path, token, folder);
}

std::string MIni::FullPath(std::string_view name) const {
  return Absolute(currentFolder_, SlashSeparators(name));
}
