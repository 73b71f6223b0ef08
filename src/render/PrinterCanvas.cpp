#include "render/PrinterCanvas.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>

#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Sjis.h"
#include "render/QtText.h"

namespace {

// Paper sides are given to the printer in 16-bit tenths of a millimetre.
constexpr int kMaxPaperSideMm = 32767 / 10;

}  // namespace

int PaperSideMm(std::uint8_t unit, double length) {
  switch (unit) {
    case cuCentimetre:
      return base::RoundHalfEven(length * 10);
    case cuInch:
      return base::RoundHalfEven(length * 25.4);
    default:
      return base::RoundHalfEven(length);
  }
}

std::string PrintJobTitle(std::string_view fileName) {
  // The folder ends at the last separator; a "\" may be the second byte of a double-byte character.
  std::size_t start = 0;
  for (std::size_t i = 0; i < fileName.size(); i += base::CharSize(fileName, i)) {
    if (fileName[i] == '/' || fileName[i] == '\\') start = i + 1;
  }
  const std::string_view name = fileName.substr(start);
  return name.empty() ? std::string("untitle") : std::string(name);
}

MPrintRange PrintRange(MPrintChoice choice, int pageCount, int currentPage, int fromPage, int toPage) {
  switch (choice) {
    case pcSelection:
      return MPrintRange{currentPage - 1, currentPage - 1};
    case pcPageNumbers:
      return MPrintRange{fromPage - 1, toPage - 1};
    default:
      return MPrintRange{0, pageCount - 1};
  }
}

MPrinterCanvas::MPrinterCanvas(QPrinter& printer) : printer_(printer) { SetMode(cmPrinting); }

MPrinterCanvas::~MPrinterCanvas() {
  if (painter_ != nullptr) {
    BindPainter(nullptr, QRect());
    painter_->end();
  }
}

void MPrinterCanvas::SetupPage(std::uint8_t unit, double width, double height, bool paperFit) {
  const int widthMm = PaperSideMm(unit, width);
  const int heightMm = PaperSideMm(unit, height);
  if (widthMm < 1 || heightMm < 1 || widthMm > kMaxPaperSideMm || heightMm > kMaxPaperSideMm) {
    // A longer side would wrap around in the printer's settings and print on some other paper.
    throw base::Error(base::Utf8ToSjis("用紙の大きさ (" + std::to_string(widthMm) + " x " +
                                       std::to_string(heightMm) + " mm) を印刷できません。各辺は 1 mm から " +
                                       std::to_string(kMaxPaperSideMm) + " mm までです。"));
  }
  const bool landscape = width >= height;
  const int lengthMm = landscape ? widthMm : heightMm;      // the longer side
  const int paperWidthMm = landscape ? heightMm : widthMm;  // the shorter side
  const QPageSize paper(QSizeF(paperWidthMm, lengthMm), QPageSize::Millimeter, QString(),
                        QPageSize::ExactMatch);
  printer_.setPageSize(paper);
  printer_.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);

  int dpiX = printer_.logicalDpiX();
  int dpiY = printer_.logicalDpiY();
  if (paperFit) {
    const QRect printable = printer_.pageLayout().paintRectPixels(printer_.resolution());
    dpiX = base::RoundHalfEven(printable.width() / (widthMm / 25.4));
    dpiY = base::RoundHalfEven(printable.height() / (heightMm / 25.4));
  }
  SetDpi(dpiX, dpiY);
  SetUnit(unit);
}

void MPrinterCanvas::BeginPrint(std::string_view fileName) {
  if (painter_ != nullptr) EndPrint();
  printer_.setDocName(FromSjis(PrintJobTitle(fileName)));
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(&printer_)) {
    std::string message = "印刷を開始できません。";
    if (printer_.outputFormat() == QPrinter::PdfFormat)
      message += "\n" + printer_.outputFileName().toStdString();
    throw base::Error(base::Utf8ToSjis(message));
  }
  painter->setRenderHint(QPainter::Antialiasing, false);
  painter->setRenderHint(QPainter::TextAntialiasing, true);
  painter_ = std::move(painter);
  BindPainter(painter_.get(), QRect());
}

void MPrinterCanvas::NextSheet() {
  if (painter_ == nullptr) return;
  if (!printer_.newPage()) throw base::Error(base::Utf8ToSjis("印刷中に次の用紙を用意できません。"));
}

void MPrinterCanvas::EndPrint() {
  if (painter_ == nullptr) return;
  BindPainter(nullptr, QRect());
  const bool ok = painter_->end();
  painter_.reset();
  if (!ok) throw base::Error(base::Utf8ToSjis("印刷を終えられません。"));
}

void MPrinterCanvas::AbortPrint() {
  if (painter_ == nullptr) return;
  // Only a printer engine of the system's own can drop a job: Qt's PDF engine (the CUPS printers' too)
  // cannot, and the print preview's frees its pages but keeps them listed for the preview to show.
  const QPaintEngine* engine = printer_.paintEngine();
  const bool mayDrop =
      engine != nullptr && engine->type() != QPaintEngine::Pdf && engine->type() != QPaintEngine::Picture;
  const bool dropped = mayDrop && printer_.abort();
  BindPainter(nullptr, QRect());
  if (painter_->isActive()) painter_->end();
  painter_.reset();
  // Qt's PDF engine cannot drop a job: the file it has closed goes.
  if (!dropped && printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty())
    QFile::remove(printer_.outputFileName());
}

void MPrinterCanvas::DrawImage(const MRect& rect, const QImage& image, int imageHeight, int imageWidth) {
  QPainter* p = GetCanvas();
  if (p == nullptr || image.isNull()) return;
  const QRect box = ImageBox(rect, imageHeight, imageWidth);
  if (box.isEmpty()) return;
  p->save();
  p->setRenderHint(QPainter::SmoothPixmapTransform, false);
  p->drawImage(box, image, QRect(0, 0, imageWidth, imageHeight));
  p->restore();
}
