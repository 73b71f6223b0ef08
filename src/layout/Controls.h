// The element tree of the layout model.
//
// Every element of a form or block is an MControl: the drawable shapes (line, box, circle, image,
// text, barcode), the containers (form and block), the grid points of a form and the special entries
// (space, newline, newpage, eod) that stand between blocks in the sequence of placed entries.
// Pages and block instances are deep copies made with Clone; nothing of the layout itself is placed.
//
// Lengths are doubles in the layout's unit, already scaled; colours are 0x00BBGGRR values. Texts are
// Shift-JIS byte strings.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class MMapCanvas;  // the canvas that elements draw through (render/MapCanvas.h)

// The class of an element as a cheap tag: the flow code tests it on every placed entry. The order
// groups the shapes, the containers and the special entries so that each group is one range.
enum class MKind : std::uint8_t {
  Line,
  Box,
  Circle,
  Image,
  Text,
  FormText,
  Barcode,
  GridPoint,
  Form,
  Block,
  Space,
  NewLine,
  NewPage,
  EndOfData,
};

enum MStrokeStyle : std::uint8_t { ssSolid, ssDash, ssDot, ssDashDot, ssDashDotDot, ssNone };
enum MFillStyle : std::uint8_t { fsSolid, fsNone };
enum MAlign : std::uint8_t { alLeft, alCenter, alRight };
enum MDataType : std::uint8_t {
  dtInteger,
  dtFloat,
  dtDate,
  dtString,
  dtMemo,
  dtCreateDate,
  dtNowDate,
  dtNowPage,
  dtTotalPage,
};
// Bits of MText::FontStyle and MSetting::FontStyle.
inline constexpr std::uint8_t kFontBold = 1;
inline constexpr std::uint8_t kFontItalic = 2;

// The colours of the layout language, as 0x00BBGGRR values.
inline constexpr std::uint32_t kColorBlack = 0x000000;
inline constexpr std::uint32_t kColorWhite = 0xFFFFFF;
inline constexpr std::uint32_t kColorGray = 0x808080;
inline constexpr std::uint32_t kColorLightGray = 0xC0C0C0;
inline constexpr std::uint32_t kColorBlue = 0xFF0000;
inline constexpr std::uint32_t kColorRed = 0x0000FF;
inline constexpr std::uint32_t kColorGreen = 0x008000;

struct MRect {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class MControl {
 public:
  static constexpr bool IsKindOf(MKind) { return true; }

  virtual ~MControl();
  MControl(const MControl&) = delete;
  // Elements come from the element pools (layout/ElementMemory.h); the virtual destructor hands
  // the size of the whole object to operator delete.
  static void* operator new(std::size_t size);
  static void operator delete(void* memory, std::size_t size) noexcept;
  MControl& operator=(const MControl&) = delete;

  MKind Kind() const { return kind_; }
  bool IsShape() const { return kind_ <= MKind::Barcode; }
  bool IsText() const { return kind_ == MKind::Text || kind_ == MKind::FormText; }
  bool IsContainer() const { return kind_ == MKind::Form || kind_ == MKind::Block; }
  bool IsBlock() const { return kind_ == MKind::Block; }
  bool IsForm() const { return kind_ == MKind::Form; }
  bool IsGridPoint() const { return kind_ == MKind::GridPoint; }
  bool IsSpecial() const { return kind_ >= MKind::Space; }

  // A new object of this element's own class holding a deep copy of it.
  std::unique_ptr<MControl> Clone() const;

  // Copies every property of source; each class copies its own fields only when source is of its
  // class, after its base has copied.
  virtual void Assign(const MControl& source);
  // Translates by origin's X1, Y1 (placing on a grid point), and back. The offset is taken before
  // anything moves, so the origin may be the element itself.
  void MoveBy(const MControl& origin);
  void MoveBack(const MControl& origin);
  // Adds dx to the horizontal and dy to the vertical coordinates; a container moves its children too.
  virtual void Translate(double dx, double dy);
  // Draws onto the canvas in layout units; variant is passed on unchanged, clip skips elements
  // outside the area being redrawn.
  virtual void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) = 0;

  // Geometry setters keep Bounds, the size and the corner points consistent.
  void SetX(double v);
  void SetY(double v);
  void SetWidth(double v);
  void SetHeight(double v);
  void SetX1(double v);
  void SetY1(double v);
  void SetX2(double v);
  void SetY2(double v);

  // True when the rectangles overlap or touch.
  bool Intersects(const MRect& rect) const;

  std::string Name;
  MRect Bounds;
  double Width = 0, Height = 0;
  double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  double StrokeWidth = 0;
  std::uint8_t StrokeStyle = ssSolid;
  std::uint32_t StrokeColor = kColorBlack;
  std::uint8_t FillStyle = fsNone;
  std::uint32_t FillColor = kColorWhite;
  bool Visible = true;

 protected:
  explicit MControl(MKind kind) : kind_(kind) {}
  // A default-constructed object of this element's own class (what Clone starts from).
  virtual std::unique_ptr<MControl> NewSame() const = 0;

  template <class T>
  static std::unique_ptr<T> CloneAs(const T& source) {
    std::unique_ptr<MControl> copy = static_cast<const MControl&>(source).NewSame();
    copy->Assign(source);
    return std::unique_ptr<T>(static_cast<T*>(copy.release()));
  }

 private:
  void SpanX();
  void SpanY();

  const MKind kind_;
};

// The element as T, or null when it is not of that class (or is null). Costs one compare.
template <class T>
T* As(MControl* element) {
  return element != nullptr && T::IsKindOf(element->Kind()) ? static_cast<T*>(element) : nullptr;
}
template <class T>
const T* As(const MControl* element) {
  return element != nullptr && T::IsKindOf(element->Kind()) ? static_cast<const T*>(element) : nullptr;
}

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
  void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MLine>(); }
};

class MBox : public MShape {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Box; }
  MBox() : MShape(MKind::Box) {}
  std::unique_ptr<MBox> Clone() const { return CloneAs(*this); }
  void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MBox>(); }
};

class MCircle : public MShape {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Circle; }
  MCircle() : MShape(MKind::Circle) {}
  std::unique_ptr<MCircle> Clone() const { return CloneAs(*this); }
  void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MCircle>(); }
};

class MImage : public MShape {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Image; }
  MImage() : MShape(MKind::Image) {}
  std::unique_ptr<MImage> Clone() const { return CloneAs(*this); }
  void Assign(const MControl& source) override;
  void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) override;

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
  void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) override;

  // Lines = value split at CR LF, CR or LF; all but the first line are dropped unless this is a memo.
  void SetText(std::string_view value);
  // The single line, or every line followed by CR LF (empty when there are none).
  std::string GetText() const;

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
  void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) override;

  std::string Value;  // the code text

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MBarcode>(); }
};

// An element that owns child elements: a form or a block.
class MContainer : public MControl {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Form || k == MKind::Block; }

  void Assign(const MControl& source) override;
  void Translate(double dx, double dy) override;
  void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) override;
  // The first editable text child whose bounds hold the point (edges included), or null.
  virtual MText* FindEditableText(double x, double y);
  // Whether the element is one of the direct children.
  virtual bool Contains(const MControl* element) const;

  template <class T>
  T* AddChild(std::unique_ptr<T> child) {
    T* added = child.get();
    Children.push_back(std::move(child));
    return added;
  }
  // The first child with exactly this name, or null.
  MControl* FindChild(std::string_view name) const;
  // The names of the editable text children, in order.
  std::vector<std::string> EditableNames() const;

  std::vector<std::unique_ptr<MControl>> Children;  // file order

 protected:
  // Forms and blocks draw no outline unless their section gives a stroke style.
  explicit MContainer(MKind kind) : MControl(kind) { StrokeStyle = ssNone; }
};

// A block class of the layout, or an instance of one (a record placed on a page or in a side pane).
class MBlock : public MContainer {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Block; }
  MBlock() : MContainer(MKind::Block) {}
  std::unique_ptr<MBlock> Clone() const { return CloneAs(*this); }
  void Assign(const MControl& source) override;

  // Each list is set from a comma-separated text; entries are trimmed, the old ones replaced.
  void SetThumbnailElements(std::string_view names);
  void SetKeyElements(std::string_view names);
  void SetSearchElements(std::string_view names);

  // Block values (BlockValues.cpp). A key is a child's name, or its name and ".visible".
  void SetElementValue(std::string_view key, std::string_view value);
  std::string GetElementValue(std::string_view key) const;
  // record: entry 0 the class name, then one value per key of fieldRow (the data file's block-field
  // row of this class: entry 0 the class name, then the keys); null when the class has none.
  void LoadValues(const std::vector<std::string>& record, const std::vector<std::string>* fieldRow);
  void SaveValues(std::vector<std::string>& record, const std::vector<std::string>* fieldRow) const;
  std::string FaceText() const;
  // values: one per entry of KeyElements, in that order.
  bool MatchesKeys(const std::vector<std::string>& values) const;
  bool MatchesSearch(std::string_view text) const;

  std::string FaceElement;
  std::vector<std::string> ThumbnailElements;
  std::vector<std::string> KeyElements;
  std::vector<std::string> SearchElements;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MBlock>(); }
};

// The special entries of the sequence of placed entries; each is named after its kind.
class MSpecial : public MControl {
 public:
  static constexpr bool IsKindOf(MKind k) { return k >= MKind::Space; }

 protected:
  using MControl::MControl;
};

class MSpace : public MSpecial {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Space; }
  MSpace() : MSpecial(MKind::Space) { Name = "space"; }
  std::unique_ptr<MSpace> Clone() const { return CloneAs(*this); }
  void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MSpace>(); }
};

class MNewLine : public MSpecial {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::NewLine; }
  MNewLine() : MSpecial(MKind::NewLine) { Name = "newline"; }
  std::unique_ptr<MNewLine> Clone() const { return CloneAs(*this); }
  void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MNewLine>(); }
};

class MNewPage : public MSpecial {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::NewPage; }
  MNewPage() : MSpecial(MKind::NewPage) { Name = "newpage"; }
  std::unique_ptr<MNewPage> Clone() const { return CloneAs(*this); }
  void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MNewPage>(); }
};

class MEOD : public MSpecial {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::EndOfData; }
  MEOD() : MSpecial(MKind::EndOfData) { Name = "eod"; }
  std::unique_ptr<MEOD> Clone() const { return CloneAs(*this); }
  void Draw(MMapCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MEOD>(); }
};

// A comma-separated list of names: each "," starts an entry, each entry trimmed of blanks.
std::vector<std::string> SplitNameList(std::string_view text);
// The index of name in list, compared without regard to case; -1 when it is not there.
int IndexOfName(const std::vector<std::string>& list, std::string_view name);

// A one-line value (layout file, data file) holds a line break as the tag "<br>". Both are found
// byte by byte (BlockValues.cpp), so that every reader and writer of values agrees on them.
std::string BreakTagsToLineBreaks(std::string_view text);
std::string LineBreaksToBreakTags(std::string_view text);
