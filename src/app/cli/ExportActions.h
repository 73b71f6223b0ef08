// The export actions of the batch mode: the open document's pages as a PDF, printed through the
// printer canvas exactly as paper gets them, or as one PNG picture per page as the page view draws
// them in mapping mode (for previews, and for looking at what is drawn).
//
//   --pdf OUT.pdf [--pages FIRST-LAST]   all pages, or pages FIRST to LAST (counted from 1)
//   --png DIR [--dpi N]                  DIR/page-001.png, ...; 96 dots per inch unless N is given
//   --print [QUEUE] [--copies N] [--pages FIRST-LAST]
//                                        the pages sent to a CUPS queue (the default queue unless
//                                        named), N collated copies
//
// An export is made when its action runs, from the document as it stands then, into a temporary
// place; the files appear under their names only on Commit, so that a run that fails later leaves
// nothing behind. A print job is drawn into a PDF when its action runs and sent to its queue on
// Commit, so that a cancelled drawing sends nothing. Names come from the shell (UTF-8) and are taken
// relative to its working directory. Bad values, files that cannot be written and queues that cannot
// be had raise base::Error with a message for the user. All of them tell the installed progress sink
// the pages done; a cancel raises base::Cancelled and leaves nothing.
#pragma once

#include <memory>
#include <string_view>

#include "render/PrinterCanvas.h"

// Pages as 1-based numbers, both included.
struct MPageSpan {
  int First = 1;
  int Last = 1;
};

// "FIRST-LAST" (or one page "N") of a document of pageCount pages: raises base::Error saying what
// is wrong when the text is no such range or names pages the document does not have.
MPageSpan ParsePageSpan(std::string_view text, int pageCount);
// A resolution of 10 to 1200 dots per inch; raises base::Error otherwise.
int ParseDpi(std::string_view text);
// A number of copies from 1 to 999; raises base::Error otherwise.
int ParseCopies(std::string_view text);

// An export made and not yet in place. Destroying it without Commit discards it.
class MPendingExport {
 public:
  virtual ~MPendingExport() = default;
  // Puts the files under their names; raises base::Error when they cannot be written.
  virtual void Commit() = 0;
};

// Prints the pages of the document of the global objects into a PDF. pages empty: all pages.
std::unique_ptr<MPendingExport> ExportPdf(std::string_view outPath, std::string_view pages = {});
// The same for the pages of a range as the print dialog chooses them (0-based; pages the document
// does not have are left out).
std::unique_ptr<MPendingExport> ExportPdf(std::string_view outPath, MPrintRange range);

// Prints the pages of range for the CUPS queue named (the default queue for an empty name): on paper
// of the layout's page size, within the margins the queue gives for it, as the print dialog's
// printing does. Commit sends the job with its copies and collation and raises base::Error with the
// server's reason when it refuses the job. Raises base::Error at once when there is no such queue.
std::unique_ptr<MPendingExport> PrintToQueue(std::string_view queue, MPrintRange range, int copies,
                                             bool collate);
// --print's form: copies and pages as given (empty: one copy, all pages); copies are collated.
std::unique_ptr<MPendingExport> PrintToQueue(std::string_view queue, std::string_view copies,
                                             std::string_view pages);
// Draws every page of the document into a PNG picture. dpi empty: 96.
std::unique_ptr<MPendingExport> ExportPng(std::string_view dir, std::string_view dpi = {});

// Drawing needs Qt's fonts and the printer needs Qt's paint engines, which need a QGuiApplication:
// makes one for the rest of the run when there is none, on the offscreen platform when no platform
// is chosen (the batch mode runs without a display), with the Windows faces of the layouts mapped.
void EnsureGuiApplication();
