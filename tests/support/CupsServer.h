// A private CUPS server for the printing tests: cupsd in the foreground with a configuration, spool
// and state of its own in a temporary folder, listening on a socket there only, and queues whose
// file: device writes each job into a file of that folder. While it runs, CUPS_SERVER points this
// process and every program it starts at it. It is stopped by its own process id; a server of the
// system is never touched.
//
// As root, cupsd runs its filters as the user lp: the folder is open to lp. Queues use the generic
// PDF printer of cups-filters (PDF out, standard sizes only) or the CUPS-PDF driver (PostScript out,
// custom sizes too). Jobs are waited for by polling lpstat -o with a time limit.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

enum class CupsDriver { GenericPdf, CupsPdf };

// What pdfinfo says of a PDF: its page count and the first page's size in points as shown (turned
// by its rotation).
struct PdfFacts {
  int Pages = -1;
  double Width = 0, Height = 0;
  int Rotation = 0;
};

class CupsServer {
 public:
  // Starts the server. Error() says why when it could not.
  CupsServer();
  // Stops the server, puts CUPS_SERVER back and removes the folder.
  ~CupsServer();
  CupsServer(const CupsServer&) = delete;
  CupsServer& operator=(const CupsServer&) = delete;

  // Empty while the server runs; otherwise what went wrong, with the server's log.
  const std::string& Error() const { return error_; }

  // Adds an enabled queue that accepts jobs; false (and Error()) when lpadmin refuses.
  bool AddQueue(const std::string& name, CupsDriver driver);
  bool SetDefault(const std::string& name);
  // The queue stops accepting jobs (cupsreject), giving reason.
  bool Reject(const std::string& name, const std::string& reason);

  // Waits until the server has no job left to do; false (and Error()) after seconds.
  bool WaitForJobs(int seconds = 60);
  // The number of jobs the server has had, done or not.
  int JobsSeen();
  // What the queue's device wrote last, as a PDF (PostScript is turned into one by ps2pdf); empty
  // when it wrote nothing.
  std::filesystem::path Printed(const std::string& queue);
  // Removes what the queues wrote, for the next job.
  void ClearPrinted();

  const std::filesystem::path& Folder() const { return folder_; }

 private:
  // Runs a tool of CUPS or poppler with args; its standard output, or Error() set and false.
  bool Tool(const std::string& name, const std::vector<std::string>& args, std::string* out = nullptr);
  std::string Log() const;

  std::filesystem::path folder_;
  std::string error_;
  int pid_ = -1;
  std::string previousServer_;
  bool hadServer_ = false;
};

// pdfinfo's facts of a PDF, Pages -1 when it cannot read it.
PdfFacts PdfInfo(const std::filesystem::path& pdf);
// pdftotext's text of a PDF's pages first to last (all for 0).
std::string PdfText(const std::filesystem::path& pdf, int first = 0, int last = 0);

}  // namespace test_support
