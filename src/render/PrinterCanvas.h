// The printer canvas: the page view canvas drawing onto a printer, or into a PDF file through the
// same QPrinter, so that a PDF is exactly what paper would get.
//
// It fixes the paper to the layout's page, sets the resolution so that layout units land on paper at
// the right size, and draws pages with the same element drawing as the screen, in printing mode
// (no marks, no highlights).
#pragma once

#include <memory>
#include <string_view>

#include "render/MapCanvas.h"

class QPainter;
class QPrinter;

class MPrinterCanvas : public MMapCanvas {
 public:
  // The printer is not owned; it must outlive the canvas.
  explicit MPrinterCanvas(QPrinter& printer);
  ~MPrinterCanvas() override;

  QPrinter& Printer() const { return printer_; }

  // Sets the paper to the page (width and height in layout units of the given unit), in whole
  // millimetres, landscape when the page is at least as wide as high, and the resolution: with
  // paperFit the page fills the printable area (the two directions may scale differently), without
  // it the printer's own resolution gives true size from the printable area's top-left corner.
  // Throws base::Error for a page side the printer cannot be given (below 1 mm, above 3276 mm).
  void SetupPage(std::uint8_t unit, double width, double height, bool paperFit = true);

  // Starts the job, titled with the document's file name without its folder ("untitle" when the
  // document has none yet). Throws base::Error when the printer (or the PDF file) cannot be opened.
  void BeginPrint(std::string_view fileName);
  // Ends the current sheet and starts the next.
  void NextSheet();
  // Ends the job.
  void EndPrint();
  // Ends the job unfinished: the printer drops it where it can (QPrinter::abort), and a PDF it was
  // writing is removed, so that nothing half-printed is left as a file.
  void AbortPrint();

  // The image stretched onto the paper as it is, without smoothing: the printer renders it.
  void DrawImage(const MRect& rect, const QImage& image, int imageHeight, int imageWidth) override;

 private:
  QPrinter& printer_;
  std::unique_ptr<QPainter> painter_;
};

// A side of the page (a length in layout units of the given unit) in the whole millimetres the paper
// is given in.
int PaperSideMm(std::uint8_t unit, double length);

// The job title of a document: its file name without the folder, "untitle" without a name.
std::string PrintJobTitle(std::string_view fileName);

// Pages a print command prints, as 0-based indexes from First to Last; empty when First > Last.
struct MPrintRange {
  int First = 0;
  int Last = -1;
};
enum MPrintChoice { pcAllPages, pcSelection, pcPageNumbers };
// All pages, the current page only (selection, currentPage counted from 1), or the page numbers
// fromPage to toPage (counted from 1).
MPrintRange PrintRange(MPrintChoice choice, int pageCount, int currentPage, int fromPage, int toPage);
