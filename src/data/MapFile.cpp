#include "data/MapFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "base/CommaText.h"
#include "base/Error.h"
#include "base/IniText.h"
#include "base/Sjis.h"
#include "data/MapIni.h"

namespace {

const char* const kSections[] = {"block_field", "form_data", "map_data", "unmap_data", "trash_data"};

// Documents are about 100 bytes a row; the limit keeps a wrong file (a disk image, a video) from
// taking the memory of the machine while leaving room for millions of rows.
constexpr off_t kMaxMapFileSize = off_t{1} << 30;

base::Error CannotOpen(std::string_view path, const std::string& reason) {
  return base::Error(base::Utf8ToSjis("ファイル \"") + std::string(path) +
                     base::Utf8ToSjis("\" を開けません。") + reason);
}

base::Error CannotCreate(std::string_view path, const std::string& reason) {
  return base::Error(base::Utf8ToSjis("ファイル \"") + std::string(path) + "\". " + reason +
                     base::Utf8ToSjis(" を作成できません"));
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian calendar).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

// A file's modification time as a date serial: days since 1899-12-30 in local time, the seconds
// rounded down to even ones like the date stamps the documents have always shown.
double DateSerial(const struct stat& st) {
  const time_t t = st.st_mtim.tv_sec;
  struct tm local {};
  if (localtime_r(&t, &local) == nullptr) return 0;
  const long long days = DaysFromCivil(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                                       static_cast<unsigned>(local.tm_mday)) -
                         DaysFromCivil(1899, 12, 30);
  const int seconds = local.tm_hour * 3600 + local.tm_min * 60 + (local.tm_sec & ~1);
  return static_cast<double>(days) + seconds / 86400.0;
}

// Reads a whole regular file. Anything else (a folder, a pipe, a device) is refused rather than read,
// so that reading cannot block or run forever.
std::string ReadWholeFile(std::string_view path, double& date) {
  const std::string native = NativePath(path);
  const int fd = ::open(native.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw CannotOpen(path, std::strerror(errno));
  struct stat st {};
  int error = 0;
  std::string text;
  if (::fstat(fd, &st) != 0) {
    error = errno;
  } else if (S_ISDIR(st.st_mode)) {
    error = EISDIR;
  } else if (!S_ISREG(st.st_mode)) {
    error = EINVAL;
  } else if (st.st_size > kMaxMapFileSize) {
    error = EFBIG;
  } else {
    text.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (true) {
      if (got == text.size()) {  // the file grew while being read
        if (got >= static_cast<std::size_t>(kMaxMapFileSize)) {
          error = EFBIG;
          break;
        }
        text.resize(text.size() + 65536);
      }
      const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
      if (n > 0) {
        got += static_cast<std::size_t>(n);
      } else if (n == 0) {
        break;
      } else if (errno != EINTR) {
        error = errno;
        break;
      }
    }
    text.resize(got);
    if (error == 0 && ::fstat(fd, &st) != 0) error = errno;
  }
  ::close(fd);
  if (error != 0) throw CannotOpen(path, std::strerror(error));
  date = DateSerial(st);
  return text;
}

void DecodeRows(const std::vector<std::string_view>& lines, MMapFile::Rows& rows) {
  rows.resize(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) base::DecodeCommaText(lines[i], rows[i]);
}

bool HoldsLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

void AppendRowLines(const MMapFile::Rows& rows, std::string& out) {
  for (const MMapFile::Row& row : rows) {
    base::AppendCommaText(row, out);
    out += "\r\n";
  }
}

void AppendSection(const char* section, const MMapFile::RowWriter& write, std::string& out) {
  out += "\r\n[";
  out += section;
  out += "]\r\n";
  write(out);
}

// Writes all of bytes, retrying after interruptions; false with errno set on failure.
bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Replaces the file at path by one holding bytes: a temporary file in the same folder is written and
// synced, then renamed over the target, so that a failure at any point leaves the old file whole.
// Returns the new file's status.
struct stat ReplaceFile(std::string_view path, const std::string& bytes) {
  static std::atomic<unsigned> serial{0};
  if (path.empty()) throw CannotCreate(path, std::strerror(ENOENT));
  std::string target = NativePath(path);
  struct stat old {};
  const bool exists = ::lstat(target.c_str(), &old) == 0;
  if (exists && S_ISLNK(old.st_mode)) {
    // Write beside the file the link points to, so that the link stays a link.
    if (char* real = ::realpath(target.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  const bool keepMode = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
  std::string temp;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    temp = folder + (slash == std::string::npos ? "/" : "") + ".tessora-" + std::to_string(::getpid()) + "-" +
           std::to_string(serial++) + ".tmp";
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt >= 100)) throw CannotCreate(path, std::strerror(errno));
  }

  int error = 0;
  if (keepMode) ::fchmod(fd, old.st_mode & 07777);  // the permissions of the file it replaces
  if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    throw CannotCreate(path, std::strerror(error));
  }
  // Make the rename itself lasting; the file is already complete, so a failure here changes nothing.
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  struct stat now {};
  if (::stat(target.c_str(), &now) != 0) throw CannotCreate(path, std::strerror(errno));
  return now;
}

}  // namespace

MMapFile::MMapFile() = default;
MMapFile::~MMapFile() = default;
MMapFile::MMapFile(MMapFile&&) noexcept = default;
MMapFile& MMapFile::operator=(MMapFile&&) noexcept = default;

MMapFile::Rows& MMapFile::Decoded(Data section) const {
  DataRows& data = data_[static_cast<std::size_t>(section)];
  if (!data.lines.empty()) {
    data.rows.resize(data.lines.size() - data.taken);
    for (std::size_t i = data.taken; i < data.lines.size(); ++i)
      base::DecodeCommaText(data.lines[i], data.rows[i - data.taken]);
    std::vector<std::string_view>().swap(data.lines);
  } else if (data.taken > 0) {
    data.rows.erase(data.rows.begin(), data.rows.begin() + static_cast<std::ptrdiff_t>(data.taken));
  }
  data.taken = 0;
  return data.rows;
}

std::size_t MMapFile::RowCount(Data section) const {
  const DataRows& data = data_[static_cast<std::size_t>(section)];
  return (data.lines.empty() ? data.rows.size() : data.lines.size()) - data.taken;
}

bool MMapFile::TakeRow(Data section, Row& row) {
  DataRows& data = data_[static_cast<std::size_t>(section)];
  if (!data.lines.empty()) {
    if (data.taken < data.lines.size()) {
      base::DecodeCommaText(data.lines[data.taken++], row);
      return true;
    }
    std::vector<std::string_view>().swap(data.lines);
  } else if (data.taken < data.rows.size()) {
    row.swap(data.rows[data.taken++]);
    return true;
  } else {
    Rows().swap(data.rows);
  }
  data.taken = 0;
  return false;
}

MMapFile::Rows& MMapFile::EditBlockFields() {
  blockFieldIndexValid_ = false;
  return blockFields_;
}

const MMapFile::Row* MMapFile::FindBlockFields(std::string_view className) const {
  if (!blockFieldIndexValid_) {
    blockFieldIndex_.clear();
    for (std::size_t i = 0; i < blockFields_.size(); ++i) {
      if (blockFields_[i].empty()) continue;
      blockFieldIndex_.emplace(base::UpperCase(blockFields_[i][0]), i);  // keeps the first of equal names
    }
    blockFieldIndexValid_ = true;
    lastClassName_.clear();
    lastBlockFields_ = nullptr;
  } else if (lastBlockFields_ != nullptr && className == lastClassName_) {
    return lastBlockFields_;
  }
  const auto hit = blockFieldIndex_.find(base::UpperCase(className));
  if (hit == blockFieldIndex_.end()) return nullptr;
  lastClassName_ = className;
  lastBlockFields_ = &blockFields_[hit->second];
  return lastBlockFields_;
}

void MMapFile::ReadFile(std::string_view path) {
  Clear();
  double date = 0;
  Parse(ReadWholeFile(path, date));
  fileName_ = path;
  fileDate_ = date;
  disk_ = DiskStateOf(path);
}

void MMapFile::ReadText(std::string_view path, const std::string& text) {
  Clear();
  Parse(std::string(text));
  fileName_ = path;
  if (path.empty()) return;
  struct stat st {};
  if (::stat(NativePath(path).c_str(), &st) == 0) fileDate_ = DateSerial(st);
  disk_ = DiskStateOf(path);
}

MMapFile::DiskState MMapFile::DiskStateOf(std::string_view path) {
  struct stat st {};
  if (path.empty() || ::stat(NativePath(path).c_str(), &st) != 0) return {true, std::string(path), -1, -1};
  return {true, std::string(path),
          static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
          static_cast<long long>(st.st_size)};
}

bool MMapFile::ChangedOnDisk() const {
  if (!disk_.known || fileName_.empty() || disk_.path != fileName_) return false;
  return !(DiskStateOf(fileName_) == disk_);
}

void MMapFile::Parse(std::string text) {
  auto ini = std::make_unique<const base::IniText>(std::move(text));
  layoutName_ = ini->ReadString("basic_info", "layout", "");
  DecodeRows(ini->Lines(kSections[0]), blockFields_);
  const std::vector<std::string_view>& formLines = ini->Lines(kSections[1]);
  formData_.assign(formLines.begin(), formLines.end());
  // The data rows are decoded when they are asked for.
  bool pending = false;
  for (std::size_t s = 0; s < data_.size(); ++s) {
    data_[s].lines = ini->Lines(kSections[2 + s]);
    pending = pending || !data_[s].lines.empty();
  }
  if (pending) text_ = std::move(ini);
}

std::string MMapFile::FileText() const {
  return FileText([this](std::string& out) { AppendRowLines(MapData(), out); },
                  [this](std::string& out) { AppendRowLines(UnmapData(), out); },
                  [this](std::string& out) { AppendRowLines(TrashData(), out); });
}

std::string MMapFile::FileText(const RowWriter& map, const RowWriter& unmap, const RowWriter& trash) const {
  // A line break would split a line and could turn the rest of it into a section header of its own,
  // so that the next read loses rows; refuse to write such a file at all.
  bool broken = HoldsLineBreak(layoutName_);
  for (const std::string& line : formData_) broken = broken || HoldsLineBreak(line);
  if (broken) throw CannotCreate(fileName_, base::Utf8ToSjis("行の中に改行があります"));

  std::string out;
  out += "[basic_info]\r\nlayout=";
  out += layoutName_;
  out += "\r\n";
  AppendSection(
      kSections[0], [this](std::string& text) { AppendRowLines(blockFields_, text); }, out);
  out += "\r\n[";
  out += kSections[1];
  out += "]\r\n";
  for (const std::string& line : formData_) {
    out += line;
    out += "\r\n";
  }
  AppendSection(kSections[2], map, out);
  AppendSection(kSections[3], unmap, out);
  AppendSection(kSections[4], trash, out);
  return out;
}

void MMapFile::WriteText(const std::string& text) {
  fileDate_ = DateSerial(ReplaceFile(fileName_, text));
  disk_ = DiskStateOf(fileName_);
}

void MMapFile::Clear() {
  fileName_.clear();
  layoutName_.clear();
  fileDate_ = 0;
  disk_ = {};
  Rows().swap(blockFields_);
  blockFieldIndexValid_ = false;  // also forgets the last look-up
  ClearData();
}

void MMapFile::ClearData() {
  std::vector<std::string>().swap(formData_);
  for (DataRows& data : data_) data = DataRows();
  text_.reset();
}

std::string ReadDocumentFile(std::string_view path) {
  double date = 0;
  return ReadWholeFile(path, date);
}

void ReplaceDocumentFile(std::string_view path, const std::string& bytes) { ReplaceFile(path, bytes); }
