// The element tree of the layout model.
//
// Every element of a form or block is an MControl: the drawable shapes (line, box, circle, image,
// text, barcode: layout/Shapes.h), the containers (block: layout/Containers.h, form: layout/Form.h),
// the grid points of a form (layout/Grid.h) and the special entries (space, newline, newpage, eod:
// layout/Specials.h) that stand between blocks in the sequence of placed entries. This header holds
// their common base and the types they share.
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

class MElementCanvas;  // what elements draw through (layout/ElementCanvas.h)

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
  // The rectangle moved by dx, dy.
  MRect Moved(double dx, double dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  // True when the rectangles overlap or touch.
  bool Meets(const MRect& other) const {
    return other.Right >= Left && Right >= other.Left && other.Bottom >= Top && Bottom >= other.Top;
  }
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
  virtual void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) = 0;

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

// A comma-separated list of names: each "," starts an entry, each entry trimmed of blanks.
std::vector<std::string> SplitNameList(std::string_view text);
// The index of name in list, compared without regard to case; -1 when it is not there.
int IndexOfName(const std::vector<std::string>& list, std::string_view name);

// A one-line value (layout file, data file) holds a line break as the tag "<br>". Both are found
// byte by byte (BlockValues.cpp), so that every reader and writer of values agrees on them.
std::string BreakTagsToLineBreaks(std::string_view text);
std::string LineBreaksToBreakTags(std::string_view text);
