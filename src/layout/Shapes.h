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

class MBarcode : public MShape {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Barcode; }
  MBarcode() : MShape(MKind::Barcode) {}
  std::unique_ptr<MBarcode> Clone() const { return CloneAs(*this); }
  void Assign(const MControl& source) override;
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

  std::string Value;  // the code text

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MBarcode>(); }
};
