#include "layout/LayoutCheck.h"

#include <algorithm>
#include <optional>

#include "base/Numbers.h"
#include "layout/Layout.h"

namespace {

// Rounding of the loader's arithmetic (0.1 * 3) must not make an element touching the edge stick out.
constexpr double kSlack = 1e-6;
// Content covering less than this part of the page is taken for a mistake of units.
constexpr double kSmallCover = 0.1;

const char* KindWord(MKind kind) {
  switch (kind) {
    case MKind::Line:
      return "line";
    case MKind::Box:
      return "box";
    case MKind::Circle:
      return "circle";
    case MKind::Image:
      return "image";
    case MKind::Text:
    case MKind::FormText:
      return "text";
    case MKind::Barcode:
      return "barcode";
    default:
      return "element";
  }
}

const char* UnitWord(std::uint8_t unit) {
  switch (unit) {
    case unCentimetre:
      return "cm";
    case unInch:
      return "in";
    default:
      return "mm";
  }
}

std::string Number(double v) { return base::FormatShortest(v, 2); }

class Checker {
 public:
  explicit Checker(const MLayout& layout)
      : setting_(layout.Setting),
        page_{0, 0, setting_.PageWidth, setting_.PageHeight},
        pageText_("the page is " + Number(page_.Right) + " x " + Number(page_.Bottom) + " " +
                  UnitWord(setting_.Unit)) {}

  void Form(const MForm& form, const std::vector<std::unique_ptr<MBlock>>& classes) {
    const std::string prefix = "form " + form.Name + ": ";
    content_.reset();
    // The form's own frame is drawn only when it has an outline or a fill.
    if ((form.StrokeWidth > 0 && form.StrokeStyle != ssNone) || form.FillStyle == fsSolid) Cover(form.Bounds);
    for (const auto& child : form.Children) {
      Cover(child->Bounds);
      if (Outside(child->Bounds))
        Warn(prefix + KindWord(child->Kind()) + " " + child->Name + " lies outside the page (" +
             Extent(child->Bounds) + "; " + pageText_ + ")");
    }
    for (const auto& row : form.Grid.Rows) {
      for (const auto& point : row) Point(prefix, *point, classes);
    }
    if (!content_) return;
    const double pageArea = page_.Right * page_.Bottom;
    const double area = (content_->Right - content_->Left) * (content_->Bottom - content_->Top);
    if (pageArea <= 0 || area >= kSmallCover * pageArea) return;
    std::string text = prefix + "everything on the page covers " + Number(100 * area / pageArea) +
                       "% of it (" + Extent(*content_) + "; " + pageText_ + ")";
    if (setting_.Scale != 1)
      text += "; print width and height are not multiplied by scale " + Number(setting_.Scale);
    Warn(text);
  }

  std::vector<std::string> warnings;

 private:
  void Point(const std::string& prefix, const MGridPoint& point,
             const std::vector<std::unique_ptr<MBlock>>& classes) {
    const MRect at{point.X1, point.Y1, point.X1, point.Y1};
    Cover(at);
    if (Outside(at)) {
      Warn(prefix + "grid point " + point.Name + " lies outside the page (at " + Number(point.X1) + ", " +
           Number(point.Y1) + "; " + pageText_ + ")");
      return;  // every block there is outside too: one line says it
    }
    for (const auto& block : classes) {
      if (!point.Accepts(block->Name)) continue;
      const MRect extent = BlockExtent(*block, point);
      Cover(extent);
      if (Outside(extent))
        Warn(prefix + "block " + block->Name + " at grid point " + point.Name +
             " reaches outside the page (" + Extent(extent) + "; " + pageText_ + ")");
    }
  }

  // Where a block of the class stands on the point: its own size and every child, whichever is larger
  // (a block's coordinates are relative to its point until it is placed).
  static MRect BlockExtent(const MBlock& block, const MGridPoint& point) {
    MRect r{0, 0, block.Width, block.Height};
    for (const auto& child : block.Children) {
      r.Left = std::min(r.Left, child->Bounds.Left);
      r.Top = std::min(r.Top, child->Bounds.Top);
      r.Right = std::max(r.Right, child->Bounds.Right);
      r.Bottom = std::max(r.Bottom, child->Bounds.Bottom);
    }
    return {r.Left + point.X1, r.Top + point.Y1, r.Right + point.X1, r.Bottom + point.Y1};
  }

  bool Outside(const MRect& r) const {
    return r.Left < page_.Left - kSlack || r.Top < page_.Top - kSlack || r.Right > page_.Right + kSlack ||
           r.Bottom > page_.Bottom + kSlack;
  }

  void Cover(const MRect& r) {
    if (!content_) {
      content_ = r;
      return;
    }
    content_->Left = std::min(content_->Left, r.Left);
    content_->Top = std::min(content_->Top, r.Top);
    content_->Right = std::max(content_->Right, r.Right);
    content_->Bottom = std::max(content_->Bottom, r.Bottom);
  }

  static std::string Extent(const MRect& r) {
    return "x " + Number(r.Left) + " to " + Number(r.Right) + ", y " + Number(r.Top) + " to " +
           Number(r.Bottom);
  }

  void Warn(std::string text) { warnings.push_back(std::move(text)); }

  const MSetting& setting_;
  const MRect page_;
  const std::string pageText_;
  std::optional<MRect> content_;
};

}  // namespace

std::vector<std::string> LayoutWarnings(const MLayout& layout) {
  Checker checker(layout);
  for (const auto& form : layout.Forms) checker.Form(*form, layout.Blocks);
  return std::move(checker.warnings);
}
