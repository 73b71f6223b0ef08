// Elements that own child elements: the common container and the block (a block class of the layout
// or a record made from one). Forms, which also own a grid, are in layout/Form.h.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layout/Controls.h"
#include "layout/Shapes.h"

// An element that owns child elements: a form or a block.
class MContainer : public MControl {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Form || k == MKind::Block; }

  void Assign(const MControl& source) override;
  void Translate(double dx, double dy) override;
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;
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
  // A key found among the children once, to read the values of many blocks of a class: blocks are
  // copies of their class, so the child is looked for at the same index first. The name views the key.
  struct ValueSlot {
    std::string_view name;  // the child's; empty when the key names no value
    std::size_t child = 0;
    bool visibleFlag = false;
  };
  ValueSlot FindValueSlot(std::string_view key) const;
  // The value at a slot, but a text's line breaks as stored where GetElementValue gives "<br>";
  // scratch holds it when it is no stored string. isText tells whether it is a text's.
  std::string_view ValueAt(const ValueSlot& slot, std::string& scratch, bool* isText = nullptr) const;
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
