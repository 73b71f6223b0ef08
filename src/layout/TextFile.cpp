#include "layout/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/Error.h"
#include "base/Sjis.h"

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
  throw base::Error(base::Utf8ToSjis("ファイル \"") + path + base::Utf8ToSjis("\" を開けません。") + reason);
}

[[noreturn]] void FailErrno(const std::string& path, int error) { Fail(path, std::strerror(error)); }

// Closes the descriptor on every way out.
struct FileDescriptor {
  int fd;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

bool PathExists(const std::string& path) {
  const std::string osPath = base::SjisToUtf8(path);
  struct stat st {};
  if (::stat(osPath.c_str(), &st) == 0) return true;
  if (errno == ENOENT || errno == ENOTDIR) return false;
  FailErrno(path, errno);
}

std::string ReadWholeFile(const std::string& path, std::size_t maxBytes) {
  const std::string osPath = base::SjisToUtf8(path);
  FileDescriptor file{::open(osPath.c_str(), O_RDONLY | O_CLOEXEC)};
  if (file.fd < 0) FailErrno(path, errno);
  struct stat st {};
  if (::fstat(file.fd, &st) != 0) FailErrno(path, errno);
  if (S_ISDIR(st.st_mode)) FailErrno(path, EISDIR);
  if (!S_ISREG(st.st_mode)) Fail(path, base::Utf8ToSjis("通常のファイルではありません。"));
  const auto tooLarge = [&] {
    Fail(path, base::Utf8ToSjis("ファイルが大きすぎます (上限 ") + std::to_string(maxBytes >> 20) + " MB)");
  };
  if (static_cast<std::size_t>(st.st_size) > maxBytes) tooLarge();

  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t used = 0;
  while (true) {
    // The file may grow while it is read: read on until the end, within the limit.
    if (used == bytes.size()) {
      if (bytes.size() > maxBytes) tooLarge();
      bytes.resize(bytes.size() + 65536);
    }
    const ssize_t n = ::read(file.fd, bytes.data() + used, bytes.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      FailErrno(path, errno);
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  bytes.resize(used);
  if (bytes.size() > maxBytes) tooLarge();
  return bytes;
}
