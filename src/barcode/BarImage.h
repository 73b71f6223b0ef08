// TBarImage, the barcode component: holds a code value and its drawing options, turns the code into a
// bar pattern through the encoders and paints the bars, an optional human-readable line and two
// optional comments into its own picture: a bitmap, or (for the two metafile outputs) an SVG vector
// picture. It can put that picture on the clipboard, take its code from clipboard text and follow
// clipboard changes.
//
// The component needs no window. Without a QGuiApplication everything works except text (the
// human-readable line and the comments take no room and are not drawn: Qt has no fonts without one)
// and the clipboard (its operations do nothing).
//
// One class in three files by job: BarImage.cpp (properties and when they repaint), BarImagePaint.cpp
// (the bitmap and the SVG picture), BarImageClipboard.cpp (copy, paste and ClipWatch).
//
// A canvas that draws a barcode into a rectangle uses it like this:
//
//   barcode::TBarImage bar;
//   bar.SetBarEnabled(false);              // collect the settings, paint once at the end
//   bar.SetBarType(barcode::cbarNW7);
//   bar.SetBarHeight(40);
//   bar.SetMatch(true);                    // the picture is exactly the drawing
//   bar.SetSymbolDisp(false);
//   bar.SetElementRatio(25);
//   bar.SetCode(value);                    // Shift-JIS
//   bar.SetBarEnabled(true);               // paints
//   if (bar.BarDisped()) {
//     QImage bars = bar.PictureImage();      // stretch it into the rectangle
//     std::string text = bar.PictureText();  // Shift-JIS; print it below the bars
//   }
#pragma once

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QSize>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "barcode/BarEncoders.h"

class QObject;
class QPainter;

namespace barcode {

// Horizontal placement of a comment.
enum TLocation : int { locLeft = 0, locCenter = 1, locRight = 2 };

// The picture kind a paint produces. Both metafile kinds produce an SVG picture.
enum TBarPictures : int { pbarBMP = 0, pbarEMF = 1, pbarWMF = 2 };

class TBarImage {
 public:
  using TNotifyEvent = std::function<void(TBarImage& sender)>;

  // Lengths are device pixels of the picture; colours are 0x00BBGGRR values.
  static constexpr int kMinScale = 1, kMaxScale = 10;
  static constexpr int kMinElementRatio = 20, kMaxElementRatio = 30;
  static constexpr int kMaxBarFrame = 100;
  // A drawing larger than this is refused like an invalid code, so that no code value or setting can
  // make the component allocate without bound.
  static constexpr int kMaxPictureSide = 32767;
  static constexpr std::int64_t kMaxPictureArea = std::int64_t{1} << 26;

  TBarImage();
  virtual ~TBarImage();
  TBarImage(const TBarImage&) = delete;
  TBarImage& operator=(const TBarImage&) = delete;

  // --- What a canvas reads after a paint ---

  // The picture as a bitmap: the bitmap itself, or the vector picture rendered at its own size. Null
  // when the picture is empty.
  QImage PictureImage() const;
  // The text a canvas prints below the bars: the code value (Shift-JIS).
  const std::string& PictureText() const { return code_; }

  // --- Properties. Setters repaint in the cases the component documents for each. ---

  TBarTypes BarType() const { return barType_; }
  void SetBarType(TBarTypes value);
  const std::string& Code() const { return code_; }
  void SetCode(const std::string& value);
  const std::string& CommentUp() const { return commentUp_; }
  void SetCommentUp(const std::string& value);
  TLocation CommentUpLoc() const { return commentUpLoc_; }
  void SetCommentUpLoc(TLocation value);  // repaints when CommentUp is not empty
  const std::string& CommentDown() const { return commentDown_; }
  void SetCommentDown(const std::string& value);
  TLocation CommentDownLoc() const { return commentDownLoc_; }
  void SetCommentDownLoc(TLocation value);  // repaints when CommentDown is not empty
  char StartChar() const { return startChar_; }
  void SetStartChar(char value);  // 'A'-'D', anything else is 'A'; repaints for NW-7 and Code 128
  char StopChar() const { return stopChar_; }
  void SetStopChar(char value);  // 'A'-'D', anything else is 'A'; repaints for NW-7
  bool CD() const { return cd_; }
  void SetCD(bool value);  // repaints for the symbologies whose check character is optional
  int Scale() const { return scale_; }
  void SetScale(int value);  // pixels per module, clamped to 1-10
  bool SymbolDisp() const { return symbolDisp_; }
  void SetSymbolDisp(bool value);
  const QFont& BarFont() const { return barFont_; }
  void SetBarFont(const QFont* font);  // copies the font; null or the own font is ignored
  // The colour of BarFont (a QFont carries none); black at first. Repaints when SymbolDisp is on.
  std::uint32_t BarFontColor() const { return barFontColor_; }
  void SetBarFontColor(std::uint32_t value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);  // true also sets Match false and BarPicture pbarBMP
  std::uint32_t BarColor() const { return barColor_; }
  void SetBarColor(std::uint32_t value);
  std::uint32_t BackColor() const { return backColor_; }
  void SetBackColor(std::uint32_t value);
  int BarWidth() const { return barWidth_; }  // written by the paint
  int BarHeight() const { return barHeight_; }
  void SetBarHeight(int value);  // raised by the paint to fit the text; repaints unless customer
  int BarLeft() const { return barLeft_; }
  void SetBarLeft(int value);
  int BarTop() const { return barTop_; }
  void SetBarTop(int value);
  int BarSpaceUp() const { return barSpaceUp_; }
  void SetBarSpaceUp(int value);  // negative values become 0 (all four margins)
  int BarSpaceDown() const { return barSpaceDown_; }
  void SetBarSpaceDown(int value);
  int BarSpaceLeft() const { return barSpaceLeft_; }
  void SetBarSpaceLeft(int value);
  int BarSpaceRight() const { return barSpaceRight_; }
  void SetBarSpaceRight(int value);
  bool Match() const { return match_; }
  void SetMatch(bool value);  // false also sets BarPicture pbarBMP; true also sets Transparent false
  TBarPictures BarPicture() const { return barPicture_; }
  void SetBarPicture(TBarPictures value);  // a metafile kind only while Match is on
  int ElementRatio() const { return elementRatio_; }
  void SetElementRatio(int value);  // tenths, clamped to 20-30; repaints for the two-width types
  bool BarEnabled() const { return barEnabled_; }
  void SetBarEnabled(bool value);  // switching it on repaints; while off nothing paints
  bool BarDebug() const { return barDebug_; }
  void SetBarDebug(bool value);                  // encode only, draw nothing
  bool BarDisped() const { return barDisped_; }  // the last paint produced a barcode
  bool ClearOption() const { return clearOption_; }
  void SetClearOption(bool value);  // empty the picture when the code cannot be encoded
  int BarFrame() const { return barFrame_; }
  void SetBarFrame(int value);  // clamped to 0-100; the paint lowers it to what fits
  bool ClipWatch() const { return clipWatch_; }
  void SetClipWatch(bool value);  // follow clipboard changes (needs a QGuiApplication)

  const TNotifyEvent& OnPaintBar() const { return onPaintBar_; }
  void SetOnPaintBar(TNotifyEvent handler) { onPaintBar_ = std::move(handler); }
  const TNotifyEvent& OnPaintedBar() const { return onPaintedBar_; }
  void SetOnPaintedBar(TNotifyEvent handler) { onPaintedBar_ = std::move(handler); }
  // Called on clipboard changes while ClipWatch is on; at first the component's own ClipboardChanged.
  const TNotifyEvent& OnClipboardChange() const { return onClipboardChange_; }
  void SetOnClipboardChange(TNotifyEvent handler) { onClipboardChange_ = std::move(handler); }

  // What the last paint's encoder produced: the human-readable text (Shift-JIS) and the pattern.
  const std::string& SymbolText() const { return symbolText_; }
  const std::string& BarPattern() const { return barPattern_; }

  // --- The control and its picture ---

  int Width() const { return width_; }
  void SetWidth(int value);  // clamped to 0-kMaxPictureSide; no repaint
  int Height() const { return height_; }
  void SetHeight(int value);
  // With AutoSize on, the control takes the picture's size after each paint.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value) { stretch_ = value; }

  bool PictureIsMetafile() const { return metafile_; }
  // The bitmap while the picture holds one (null when it is empty or a metafile).
  const QImage& PictureBitmap() const { return bitmap_; }
  // The SVG document while the picture holds a metafile (empty otherwise).
  const QByteArray& PictureSvg() const { return svg_; }
  QSize PictureSize() const;

  // --- Operations ---

  virtual void PaintBar();            // encode Code and draw it
  virtual void ClearBar();            // BarDisped false, picture empty
  virtual void CopyToClipboard();     // the bitmap or the SVG picture
  virtual void PasteFromClipboard();  // first line of clipboard text, at most 256 characters
  virtual void RefreshBar();          // PaintBar
  virtual void UPCAToUPCE();          // an 11-digit UPC code to its 7-digit form
  virtual void UPCEToUPCA();          // a 7-digit UPC code to its 11-digit form

 protected:
  void PaintBitmap();
  void PaintMetafile();
  void PaintFrame(QPainter& canvas, int left, int top, int right, int bottom);
  void PaintCustomerBar(QPainter& canvas, int x, int p, char v, int s);
  int CustomerWidth(const std::string& pattern) const;
  void CopyWMFToClipboard();
  void UpdateClipboardChain();
  void ClipboardWndProc();  // a clipboard change notification
  void ClipboardChanged();

 private:
  struct Geometry;
  class FlagsGuard;

  bool Encode();
  bool Measure(Geometry& g);
  void DrawContent(QPainter& canvas, const Geometry& g);
  int ElementWidth(char digit) const;
  void DrawText(QPainter& canvas, int x, int y, const std::string& text);
  void SetPictureBitmap(QImage image);
  QImage NewBitmap(int width, int height) const;
  void PutPictureOnClipboard();
  void PutSvgOnClipboard();

  TBarTypes barType_ = cbarJAN;
  std::string code_;
  std::string commentUp_;
  TLocation commentUpLoc_ = locLeft;
  std::string commentDown_;
  TLocation commentDownLoc_ = locLeft;
  char startChar_ = 'A';
  char stopChar_ = 'A';
  bool cd_ = false;
  int scale_ = 1;
  bool symbolDisp_ = true;
  QFont barFont_;
  std::uint32_t barFontColor_ = 0;
  bool transparent_ = false;
  std::uint32_t barColor_ = 0;
  std::uint32_t backColor_ = 0xFFFFFF;
  int barWidth_ = 0;
  int barHeight_ = 105;
  int barLeft_ = 0;
  int barTop_ = 0;
  int barSpaceUp_ = 0;
  int barSpaceDown_ = 0;
  int barSpaceLeft_ = 10;
  int barSpaceRight_ = 10;
  bool match_ = false;
  TBarPictures barPicture_ = pbarBMP;
  int elementRatio_ = 20;
  bool barEnabled_ = true;
  bool barDebug_ = false;
  bool barDisped_ = false;
  bool clearOption_ = false;
  int barFrame_ = 0;
  bool clipWatch_ = false;
  TNotifyEvent onPaintBar_;
  TNotifyEvent onPaintedBar_;
  TNotifyEvent onClipboardChange_;

  std::string symbolText_;
  std::string barPattern_;

  int width_ = 105;
  int height_ = 105;
  bool autoSize_ = false;
  bool stretch_ = false;

  QImage bitmap_;
  QByteArray svg_;
  QSize svgSize_;
  bool metafile_ = false;

  // Receives the clipboard's change notifications while the component follows them.
  std::unique_ptr<QObject> clipWindow_;
  bool inClipChain_ = false;
  bool swallowNotification_ = false;
};

}  // namespace barcode
