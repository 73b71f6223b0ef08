// The pages out of the program: printed (on paper or into a PDF) through a printer canvas, as the
// print command and the PDF export do it, and drawn into pictures as the page view shows them. The
// print dialog, and committing the in-place editor before printing, belong to the window.
#pragma once

#include <QImage>
#include <cstdint>
#include <string_view>

#include "render/PrinterCanvas.h"

class MPage;
class MLayout;
class MMapDB;
class QPrinter;

// Prints the pages range.First to range.Last (0-based) of mapDB on printer: the paper and resolution
// from the layout's page (its unit, size and paper fit), the print offsets, one sheet per page, drawn
// without marks and without the clip test. Indexes without a page are left out; an empty range starts
// and ends an empty job. fileName is the document's (the job title). Returns the number of pages
// printed. Raises base::Error when the printer refuses the paper or the job. Tells the progress sink
// the sheets done; a cancel between sheets aborts the job (MPrinterCanvas::AbortPrint) and raises
// base::Cancelled.
int PrintPages(QPrinter& printer, const MLayout& layout, const MMapDB& mapDB, std::string_view fileName,
               bool designMode, MPrintRange range);

// PrintPages for the document of the global objects: the range by the dialog's choice (all pages, the
// page shown, or the page numbers fromPage to toPage), design mode as the page view has it.
int PrintDocument(QPrinter& printer, MPrintChoice choice, int fromPage = 1, int toPage = 1);

// The pixel size of a page picture at dpi: the page view's panel at real size on a screen of that
// resolution.
QSize PageImageSize(const MLayout& layout, int dpi);
// The page drawn into a white picture of PageImageSize as the page view draws it in the given mode
// (mapping mode shows the marks), the clip test on, as a repaint of the whole view. Null when the
// picture cannot be made (no size, or no memory for it).
QImage DrawPageImage(const MPage& page, const MLayout& layout, int dpi, std::uint8_t mode = cmMapping,
                     bool designMode = false);
