// The print queues of the CUPS server through libcups: the one the system uses, or the one the
// CUPS_SERVER variable names. Listing the queues, the paper a page asks of them, and sending a PDF to
// one as a job that carries its own options (copies, collation, paper, orientation).
//
// Qt's CUPS printing is not used for paper: it submits when painting ends, ignores the server's answer
// and cannot drop a job. Here the pages are drawn into a PDF first and sent afterwards, so that a
// cancelled drawing sends nothing and the server's refusal reaches the user.
//
// Names of queues and media are UTF-8, as CUPS has them; messages raised are Shift-JIS (base::Error).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct MPrintQueue {
  std::string Name;
  bool IsDefault = false;
  // "idle", "printing" or "stopped"; "rejecting" when the queue refuses new jobs.
  std::string State;
  // The paper sizes it accepts, as media names (filled on request only: asking costs a round trip).
  std::vector<std::string> Media;
};

// The queues of the server, sorted by name. Without media the answer comes from one request.
// Raises base::Error with CUPS's reason when the server cannot be asked; a server without queues
// answers an empty list.
std::vector<MPrintQueue> ListPrintQueues(bool withMedia = false);

// The paper of a page for a job: a named size where the page is one within 1 mm (either way round),
// otherwise a custom size of the page as it stands, and the orientation that keeps the page
// unrotated on it.
struct MPaperRequest {
  std::string Media;       // "iso_a4_210x297mm", ..., or "Custom.100x100mm"
  bool Landscape = false;  // a named size turned: the page is wider than high
};
// widthMm and heightMm are the page's sides in whole millimetres, as the print core sets the paper.
MPaperRequest PaperForPage(int widthMm, int heightMm);

// Margins of the paper that the printer cannot print on, in millimetres, on the page as it stands.
struct MPaperMargins {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// What a job asks of the queue besides the paper.
struct MJobOptions {
  std::string Title;  // UTF-8
  int Copies = 1;
  bool Collate = false;
};

struct MCupsConnection;

// A queue of the server, found by name, with the connection to it.
class MCupsQueue {
 public:
  // The queue named (the default queue for an empty name). Raises base::Error when the server has no
  // such queue, has no default queue, or cannot be reached.
  explicit MCupsQueue(std::string_view name);
  ~MCupsQueue();
  MCupsQueue(const MCupsQueue&) = delete;
  MCupsQueue& operator=(const MCupsQueue&) = delete;

  const std::string& Name() const { return name_; }
  // Where the printer cannot print on that paper; zero where it does not say.
  MPaperMargins Margins(const MPaperRequest& paper, int widthMm, int heightMm);
  // Sends the PDF file as one job. Raises base::Error with the server's reason when it refuses the job
  // or the document; a job it created is cancelled then, so that nothing half-sent prints.
  void Submit(const std::string& pdfPath, const MPaperRequest& paper, const MJobOptions& options);

 private:
  std::string name_;
  std::unique_ptr<MCupsConnection> cups_;
};
