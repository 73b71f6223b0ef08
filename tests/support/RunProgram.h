// Runs one of the built programs as a user's shell would, for the tests of the command line: in a
// folder of the test's choice, with standard output and error captured whole.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test_support {

struct ProgramResult {
  int status = -1;  // the exit status; -1 when the program did not exit normally
  std::string out;
  std::string err;
};

// Runs program with args in folder cwd. Standard output and error pass through two files in scratch
// (so that nothing is lost to a full pipe); the variables named in unset are removed from the
// program's environment, and those of set ("NAME=VALUE") are given to it.
inline ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                                const std::filesystem::path& cwd, const std::filesystem::path& scratch,
                                const std::vector<std::string>& unset = {},
                                const std::vector<std::string>& set = {}) {
  const std::filesystem::path outFile = scratch / ".stdout", errFile = scratch / ".stderr";
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int out = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(127);
    if (::chdir(cwd.c_str()) != 0) ::_exit(127);
    for (const std::string& name : unset) ::unsetenv(name.c_str());
    for (const std::string& variable : set) {
      const std::size_t equals = variable.find('=');
      if (equals != std::string::npos)
        ::setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
    }
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  ProgramResult r;
  int status = 0;
  if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) r.status = WEXITSTATUS(status);
  const auto read = [](const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  };
  r.out = read(outFile);
  r.err = read(errFile);
  return r;
}

// The tessora program of this build.
inline std::string TessoraProgram() { return TESSORA_BINARY_DIR "/bin/tessora"; }

}  // namespace test_support
