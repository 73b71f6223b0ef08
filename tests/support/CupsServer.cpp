#include "support/CupsServer.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "support/RunProgram.h"

namespace test_support {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPpds[] = {
    "/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd",
    "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd",
};

// The tool's full path, looked for where Debian puts CUPS's, poppler's and Ghostscript's tools.
std::string FindTool(const std::string& name) {
  for (const char* dir : {"/usr/sbin", "/usr/bin", "/sbin", "/bin"}) {
    const fs::path path = fs::path(dir) / name;
    if (::access(path.c_str(), X_OK) == 0) return path.string();
  }
  return {};
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Sleep(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace

CupsServer::CupsServer() {
  const char* previous = std::getenv("CUPS_SERVER");
  hadServer_ = previous != nullptr;
  if (hadServer_) previousServer_ = previous;
  // Under /tmp whatever TMPDIR says: a socket's path has room for about a hundred bytes.
  char pattern[] = "/tmp/tessora-cups-XXXXXX";
  if (::mkdtemp(pattern) == nullptr) {
    error_ = "cannot make a folder for the print server";
    return;
  }
  folder_ = pattern;
  // As root the server's filters run as lp, which must reach the spool and the queues' output.
  ::chmod(folder_.c_str(), 0755);
  fs::create_directories(folder_ / "log");
  fs::create_directories(folder_ / "spool/tmp");  // cupsd makes neither its spool nor its temporary folder
  fs::create_directories(folder_ / "out");
  ::chmod((folder_ / "out").c_str(), 0777);
  const fs::path socket = folder_ / "cups.sock";
  std::ofstream(folder_ / "cupsd.conf") << "Listen " << socket.string()
                                        << "\nLogLevel warn\nBrowsing No\nWebInterface No\n"
                                           "DefaultAuthType None\n<Location />\n  Order allow,deny\n"
                                           "  Allow all\n</Location>\n"
                                           // Queues are set up by whoever runs the tests, root or not.
                                           "<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                                           "  </Limit>\n</Policy>\n";
  const std::string dir = folder_.string();
  std::ofstream(folder_ / "cups-files.conf")
      << "ServerRoot " << dir << "\nStateDir " << dir << "/state\nCacheDir " << dir << "/cache\nRequestRoot "
      << dir << "/spool\nTempDir " << dir << "/spool/tmp\nErrorLog " << dir << "/log/error_log\nAccessLog "
      << dir << "/log/access_log\nPageLog " << dir << "/log/page_log\nFileDevice Yes\n";

  const std::string cupsd = FindTool("cupsd");
  if (cupsd.empty()) {
    error_ = "cupsd is not installed (scripts/deps.sh installs cups-daemon)";
    return;
  }
  for (const char* ppd : kPpds) {
    if (!fs::exists(ppd)) {
      error_ = std::string(ppd) +
               " is missing (scripts/deps.sh installs cups-filters and printer-driver-cups-pdf)";
      return;
    }
  }
  ::setenv("CUPS_SERVER", socket.c_str(), 1);
  // The queue chosen by the environment would stand in for the server's default.
  ::unsetenv("LPDEST");
  ::unsetenv("PRINTER");

  pid_ = ::fork();
  if (pid_ == 0) {
    const std::string conf = (folder_ / "cupsd.conf").string(),
                      files = (folder_ / "cups-files.conf").string();
    const std::string out = (folder_ / "log/cupsd.out").string();
    std::freopen(out.c_str(), "w", stdout);
    std::freopen(out.c_str(), "a", stderr);
    ::execl(cupsd.c_str(), cupsd.c_str(), "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr);
    ::_exit(127);
  }
  if (pid_ < 0) {
    error_ = "cannot start cupsd";
    return;
  }
  // Up once it answers on its socket.
  for (int waited = 0; waited < 200; ++waited) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      error_ = "cupsd stopped at start\n" + Log();
      return;
    }
    std::string out;
    if (fs::exists(socket) && Tool("lpstat", {"-r"}, &out) && out.find("is running") != std::string::npos) {
      error_.clear();
      return;
    }
    Sleep(50);
  }
  error_ = "cupsd did not answer on " + socket.string() + " within 10 s\n" + Log();
}

CupsServer::~CupsServer() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    bool gone = false;
    for (int waited = 0; waited < 100 && !gone; ++waited) {
      gone = ::waitpid(pid_, &status, WNOHANG) == pid_;
      if (!gone) Sleep(50);
    }
    if (!gone) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, &status, 0);
    }
  }
  if (!folder_.empty()) {
    if (hadServer_)
      ::setenv("CUPS_SERVER", previousServer_.c_str(), 1);
    else
      ::unsetenv("CUPS_SERVER");
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
}

std::string CupsServer::Log() const {
  return ReadFile(folder_ / "log/cupsd.out") + ReadFile(folder_ / "log/error_log");
}

bool CupsServer::Tool(const std::string& name, const std::vector<std::string>& args, std::string* out) {
  const std::string tool = FindTool(name);
  if (tool.empty()) {
    error_ = name + " is not installed (scripts/deps.sh installs it)";
    return false;
  }
  const ProgramResult r = RunProgram(tool, args, folder_, folder_);
  if (out != nullptr) *out = r.out;
  if (r.status == 0) return true;
  error_ = name + " failed (" + std::to_string(r.status) + "): " + r.err;
  return false;
}

bool CupsServer::AddQueue(const std::string& name, CupsDriver driver) {
  const std::string device = "file://" + (folder_ / "out" / (name + ".out")).string();
  return Tool("lpadmin", {"-p", name, "-E", "-v", device, "-P", kPpds[static_cast<int>(driver)]});
}

bool CupsServer::SetDefault(const std::string& name) { return Tool("lpadmin", {"-d", name}); }

bool CupsServer::Reject(const std::string& name, const std::string& reason) {
  return Tool("cupsreject", {"-r", reason, name});
}

bool CupsServer::WaitForJobs(int seconds) {
  std::string out;
  for (int waited = 0; waited < seconds * 10; ++waited) {
    if (!Tool("lpstat", {"-o"}, &out)) return false;
    if (out.empty()) return true;
    Sleep(100);
  }
  std::string queues;
  Tool("lpstat", {"-l", "-p"}, &queues);
  error_ = "jobs still waiting after " + std::to_string(seconds) + " s:\n" + out + queues + Log();
  return false;
}

int CupsServer::JobsSeen() {
  std::string out;
  if (!Tool("lpstat", {"-W", "all", "-o"}, &out)) return -1;
  int lines = 0;
  for (const char c : out) lines += c == '\n';
  return lines;
}

fs::path CupsServer::Printed(const std::string& queue) {
  const fs::path out = folder_ / "out" / (queue + ".out");
  if (!fs::exists(out) || fs::file_size(out) == 0) return {};
  if (ReadFile(out).rfind("%PDF", 0) == 0) return out;
  const fs::path pdf = folder_ / (queue + ".pdf");
  if (!Tool("ps2pdf", {out.string(), pdf.string()})) return {};
  return pdf;
}

void CupsServer::ClearPrinted() {
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder_ / "out", ignored))
    fs::remove(entry.path(), ignored);
}

PdfFacts PdfInfo(const fs::path& pdf) {
  PdfFacts facts;
  const ProgramResult r =
      RunProgram(FindTool("pdfinfo"), {pdf.string()}, pdf.parent_path(), pdf.parent_path());
  std::smatch m;
  if (r.status != 0 || !std::regex_search(r.out, m, std::regex(R"(Pages:\s+(\d+))"))) return facts;
  facts.Pages = std::stoi(m[1]);
  if (std::regex_search(r.out, m, std::regex(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)"))) {
    facts.Width = std::stod(m[1]);
    facts.Height = std::stod(m[2]);
  }
  if (std::regex_search(r.out, m, std::regex(R"(Page rot:\s+(\d+))"))) facts.Rotation = std::stoi(m[1]);
  if (facts.Rotation % 180 != 0) std::swap(facts.Width, facts.Height);
  return facts;
}

std::string PdfText(const fs::path& pdf, int first, int last) {
  std::vector<std::string> args;
  if (first > 0) args.insert(args.end(), {"-f", std::to_string(first), "-l", std::to_string(last)});
  args.insert(args.end(), {pdf.string(), "-"});
  return RunProgram(FindTool("pdftotext"), args, pdf.parent_path(), pdf.parent_path()).out;
}

}  // namespace test_support
