// Elements that own child elements: the common container and the block class. Forms, which also own
// a grid, are in layout/Form.h; the blocks of a document, which share their class's elements, in
// layout/BlockInstance.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layout/Controls.h"
#include "layout/Shapes.h"

class MBlockInstance;

// An element that owns child elements: a form or a block.
class MContainer : public MControl {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Form || k == MKind::Block; }

  void Assign(const MControl& source) override;
  void Translate(double dx, double dy) override;
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;
  // What Draw draws of the container itself, its frame; false (and nothing drawn) when it is hidden
  // or outside the area being repainted, so that its children draw neither.
  bool DrawFrame(MElementCanvas& canvas, bool clip) const;
  // The first editable text child whose bounds hold the point (edges included), or null.
  virtual MText* FindEditableText(double x, double y);
  // Its place among the children, the children moved by dx, dy (a block's class as the block stands
  // on a page); -1 when there is none.
  int EditableTextAt(double x, double y, double dx = 0, double dy = 0) const;
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

// A block class of the layout, or a block of the document as an element tree for a moment (made by
// MBlockInstance::Materialize to be drawn).
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

  // A new block of the document of this class, holding the class's own values (layout/
  // BlockInstance.h: a block shares its class's elements and keeps only its values).
  std::unique_ptr<MBlockInstance> NewInstance() const;
  // A value key (a child's name, or its name and ".visible") found among the children once, to read
  // the values of many blocks of a class. The name views the key.
  struct ValueSlot {
    std::string_view name;  // the child's; empty when the key names no value
    std::size_t child = 0;
    bool visibleFlag = false;
  };
  ValueSlot FindValueSlot(std::string_view key) const;

  // The tree the blocks of this class draw through, each putting its values into it
  // (MBlockInstance::MaterializeInto): made on the first draw, kept with the class, made again when
  // the class has other children than it had then.
  MBlock& DrawTree() const;

  std::string FaceElement;
  std::vector<std::string> ThumbnailElements;
  std::vector<std::string> KeyElements;
  std::vector<std::string> SearchElements;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MBlock>(); }

 private:
  mutable std::unique_ptr<MBlock> drawTree_;
};
