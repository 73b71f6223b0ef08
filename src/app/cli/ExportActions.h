// The export actions of the batch mode: the open document's pages as a PDF, printed through the
// printer canvas exactly as paper gets them, or as one PNG picture per page as the page view draws
// them in mapping mode (for previews, and for looking at what is drawn).
//
//   --pdf OUT.pdf [--pages FIRST-LAST]   all pages, or pages FIRST to LAST (counted from 1)
//   --png DIR [--dpi N]                  DIR/page-001.png, ...; 96 dots per inch unless N is given
//
// An export is made when its action runs, from the document as it stands then, into a temporary
// place; the files appear under their names only on Commit, so that a run that fails later leaves
// nothing behind. Names come from the shell (UTF-8) and are taken relative to its working directory.
// Bad values and files that cannot be written raise base::Error with a message for the user. Both
// tell the installed progress sink the pages done; a cancel raises base::Cancelled and leaves nothing.
#pragma once

#include <memory>
#include <string_view>

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

// An export made and not yet in place. Destroying it without Commit discards it.
class MPendingExport {
 public:
  virtual ~MPendingExport() = default;
  // Puts the files under their names; raises base::Error when they cannot be written.
  virtual void Commit() = 0;
};

// Prints the pages of the document of the global objects into a PDF. pages empty: all pages.
std::unique_ptr<MPendingExport> ExportPdf(std::string_view outPath, std::string_view pages = {});
// Draws every page of the document into a PNG picture. dpi empty: 96.
std::unique_ptr<MPendingExport> ExportPng(std::string_view dir, std::string_view dpi = {});

// Drawing needs Qt's fonts and the printer needs Qt's paint engines, which need a QGuiApplication:
// makes one for the rest of the run when there is none, on the offscreen platform when no platform
// is chosen (the batch mode runs without a display), with the Windows faces of the layouts mapped.
void EnsureGuiApplication();
