#include "render/PageOutput.h"

#include <QPainter>
#include <algorithm>

#include "base/Numbers.h"
#include "base/Progress.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"
#include "layout/Layout.h"
#include "layout/Page.h"
#include "render/MapCanvas.h"
#include "render/RenderGlobal.h"

int PrintPages(QPrinter& printer, const MLayout& layout, const MMapDB& mapDB, std::string_view fileName,
               bool designMode, MPrintRange range) {
  MPrinterCanvas canvas(printer);
  canvas.SetDesignMode(designMode);
  const MSetting& setting = layout.Setting;
  canvas.SetupPage(setting.Unit, setting.PageWidth, setting.PageHeight, setting.PaperFit);
  // The offsets move everything on paper only; the page view keeps its origin at 0.
  canvas.SetOrigin(setting.PrintX, setting.PrintY);

  const int first = std::max(range.First, 0);
  const int last = std::min(range.Last, mapDB.PageCount() - 1);
  canvas.BeginPrint(fileName);
  const int total = std::max(last - first + 1, 0);
  int printed = 0;
  for (int index = first; index <= last; ++index) {
    // Between sheets a cancel ends the job, before the next sheet is started.
    if (!base::ReportProgress(printed, total)) {
      canvas.AbortPrint();
      throw base::Cancelled();
    }
    if (index > first) canvas.NextSheet();
    mapDB.GetPage(index)->Draw(canvas, 0, false);
    ++printed;
  }
  base::ReportProgress(printed, total);
  canvas.EndPrint();
  return printed;
}

int PrintDocument(QPrinter& printer, MPrintChoice choice, int fromPage, int toPage) {
  const MPrintRange range = PrintRange(choice, gMapDB->PageCount(), gMapDB->CurrentPage(), fromPage, toPage);
  const bool designMode = gMapCanvas != nullptr && gMapCanvas->DesignMode();
  return PrintPages(printer, *gLayout, *gMapDB, gMapFile->FileName(), designMode, range);
}

QSize PageImageSize(const MLayout& layout, int dpi) {
  MMapCanvas canvas;
  canvas.SetDpi(dpi, dpi);
  canvas.SetUnit(layout.Setting.Unit);
  canvas.SetPageWidth(layout.Setting.PageWidth);
  canvas.SetPageHeight(layout.Setting.PageHeight);
  return canvas.PanelSize();
}

QImage DrawPageImage(const MPage& page, const MLayout& layout, int dpi, std::uint8_t mode, bool designMode) {
  MMapCanvas canvas;
  canvas.SetDpi(dpi, dpi);
  canvas.SetUnit(layout.Setting.Unit);
  canvas.SetPageWidth(layout.Setting.PageWidth);
  canvas.SetPageHeight(layout.Setting.PageHeight);
  canvas.SetMode(mode);
  canvas.SetDesignMode(designMode);
  const QSize size = canvas.PanelSize();
  if (size.width() < 1 || size.height() < 1) return QImage();
  QImage image(size, QImage::Format_RGB32);
  if (image.isNull()) return image;
  image.setDotsPerMeterX(base::RoundHalfEven(dpi / 0.0254));
  image.setDotsPerMeterY(base::RoundHalfEven(dpi / 0.0254));
  image.fill(Qt::white);
  QPainter painter(&image);
  MPaintScope scope(canvas, painter);
  page.Draw(canvas, 0, true);
  return image;
}
