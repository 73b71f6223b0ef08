// The drawable shapes of forms and blocks: lines, boxes, circles, images, texts and barcodes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layout/Controls.h"

class MShape : public MControl {
 public:
  static constexpr bool IsKindOf(MKind k) { return k <= MKind::Barcode; }

  void Assign(const MControl& source) override;

  std::uint8_t Align = alLeft;  // the line alignment of a text; other kinds keep it
  bool Stretch = false;         // read from the layout and copied; nothing depends on it
  bool Editable = false;        // the text may be edited in place

 protected:
  using MControl::MControl;
};

class MLine : public MShape {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Line; }
  MLine() : MShape(MKind::Line) {}
  std::unique_ptr<MLine> Clone() const { return CloneAs(*this); }
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MLine>(); }
};

class MBox : public MShape {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Box; }
  MBox() : MShape(MKind::Box) {}
  std::unique_ptr<MBox> Clone() const { return CloneAs(*this); }
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MBox>(); }
};

class MCircle : public MShape {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Circle; }
  MCircle() : MShape(MKind::Circle) {}
  std::unique_ptr<MCircle> Clone() const { return CloneAs(*this); }
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MCircle>(); }
};

class MImage : public MShape {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Image; }
  MImage() : MShape(MKind::Image) {}
  std::unique_ptr<MImage> Clone() const { return CloneAs(*this); }
  void Assign(const MControl& source) override;
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

  // Value = text as written; FileName = text with its folder alias resolved (layout/ImagePath.h).
  void SetValue(const std::string& text);

  std::string Value;
  std::string FileName;
  std::int32_t ImageWidth = 0, ImageHeight = 0;  // of the decoded image; 0 when there is none

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MImage>(); }
};

class MText : public MShape {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Text || k == MKind::FormText; }
  MText() : MShape(MKind::Text) {}
  std::unique_ptr<MText> Clone() const { return CloneAs(*this); }
  void Assign(const MControl& source) override;
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

  // Lines = value split at CR LF, CR or LF; all but the first line are dropped unless this is a memo.
  void SetText(std::string_view value);
  // The single line, or every line followed by CR LF (empty when there are none).
  std::string GetText() const;
  // The same text without a copy when it is one stored line; scratch holds it otherwise. For readers
  // of many texts, such as an export.
  std::string_view TextView(std::string& scratch) const;

  std::vector<std::string> Lines;
  std::string FontFamily;  // empty keeps the surface's face
  double FontSize = 0;     // font height in layout units; 0 keeps the surface's height
  std::uint8_t FontStyle = 0;
  std::uint8_t DataType = dtString;
  std::string Format;

 protected:
  explicit MText(MKind kind) : MShape(kind) {}
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MText>(); }
};

// A text of a form: its value may differ from page to page.
class MFormText : public MText {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::FormText; }
  MFormText() : MText(MKind::FormText) {}
  std::unique_ptr<MFormText> Clone() const { return CloneAs(*this); }

  // The value was set on this page itself rather than inherited; never copied, so a new page made
  // from the layout's form starts with no explicit values.
  bool Explicit = false;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MFormText>(); }
};

// The symbologies of a barcode element, in the order of their names in the layout (kBarTypeNames):
// the linear codes of the barcode component, then the two-dimensional ones.
enum MBarType : std::uint8_t {
  btNW7,
  btJAN,
  btUPC,
  btCode39,
  btITF,
  btCTF,
  btIATA,
  btMatrix,
  btNEC,
  btCustomer,
  btCode128,
  btCode93,
  btQR,
  btDataMatrix,
};
inline constexpr std::string_view kBarTypeNames[] = {"nw7",     "jan",    "upc",    "code39",    "itf",
                                                     "ctf",     "iata",   "matrix", "nec",       "customer",
                                                     "code128", "code93", "qr",     "datamatrix"};

// Whether the code text is printed below the symbol.
enum MBarText : std::uint8_t { btxDefault, btxShow, btxHide };
// QR Code error correction levels, in the order of their names in the layout (kBarEccNames).
enum MBarEcc : std::uint8_t { beL, beM, beQ, beH };
inline constexpr std::string_view kBarEccNames[] = {"L", "M", "Q", "H"};

// How a barcode element draws its value: the same for every block of a class (the layout sets it).
// The defaults draw NW-7 as barcode elements always have.
struct MBarcodeStyle {
  std::uint8_t Type = btNW7;
  bool CheckDigit = false;  // the optional check character of the symbologies that have one
  char Start = 'A';         // NW-7 start character, Code 128 start code set
  char Stop = 'A';          // NW-7 stop character
  std::uint8_t Ratio = 0;   // wide elements in tenths of the narrow ones (20-30); 0 when not given
  std::uint8_t Text = btxDefault;
  std::uint8_t Ecc = beM;

  bool IsTwoDimensional() const { return Type == btQR || Type == btDataMatrix; }
  // The code text band below the symbol: by default for the linear codes, not for the 2D ones.
  bool ShowsText() const { return Text == btxDefault ? !IsTwoDimensional() : Text == btxShow; }
  bool operator==(const MBarcodeStyle&) const = default;
};

class MBarcode : public MShape {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Barcode; }
  MBarcode() : MShape(MKind::Barcode) {}
  std::unique_ptr<MBarcode> Clone() const { return CloneAs(*this); }
  void Assign(const MControl& source) override;
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

  std::string Value;  // the code text
  MBarcodeStyle Style;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MBarcode>(); }
};
