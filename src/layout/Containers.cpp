#include "layout/Containers.h"

#include <algorithm>

// ---- containers

void MContainer::Assign(const MControl& source) {
  MControl::Assign(source);
  if (const MContainer* container = As<MContainer>(&source)) {
    if (container == this) return;
    Children.clear();
    Children.reserve(container->Children.size());
    for (const auto& child : container->Children) Children.push_back(child->Clone());
  }
}

void MContainer::Translate(double dx, double dy) {
  MControl::Translate(dx, dy);
  for (const auto& child : Children) child->Translate(dx, dy);
}

MText* MContainer::FindEditableText(double x, double y) {
  const int at = EditableTextAt(x, y);
  return at >= 0 ? static_cast<MText*>(Children[static_cast<std::size_t>(at)].get()) : nullptr;
}

int MContainer::EditableTextAt(double x, double y, double dx, double dy) const {
  for (std::size_t i = 0; i < Children.size(); ++i) {
    const MText* text = As<MText>(Children[i].get());
    if (text == nullptr || !text->Editable) continue;
    const MRect b = text->Bounds.Moved(dx, dy);
    if (b.Left <= x && x <= b.Right && b.Top <= y && y <= b.Bottom) return static_cast<int>(i);
  }
  return -1;
}

bool MContainer::Contains(const MControl* element) const {
  return std::any_of(Children.begin(), Children.end(),
                     [element](const auto& c) { return c.get() == element; });
}

MControl* MContainer::FindChild(std::string_view name) const {
  for (const auto& child : Children) {
    if (child->Name == name) return child.get();
  }
  return nullptr;
}

std::vector<std::string> MContainer::EditableNames() const {
  std::vector<std::string> names;
  for (const auto& child : Children) {
    const MText* text = As<MText>(child.get());
    if (text != nullptr && text->Editable) names.push_back(text->Name);
  }
  return names;
}

// ---- blocks

void MBlock::Assign(const MControl& source) {
  MContainer::Assign(source);
  if (const MBlock* block = As<MBlock>(&source)) {
    FaceElement = block->FaceElement;
    ThumbnailElements = block->ThumbnailElements;
    KeyElements = block->KeyElements;
    SearchElements = block->SearchElements;
  }
}

void MBlock::SetThumbnailElements(std::string_view names) { ThumbnailElements = SplitNameList(names); }
void MBlock::SetKeyElements(std::string_view names) { KeyElements = SplitNameList(names); }
void MBlock::SetSearchElements(std::string_view names) { SearchElements = SplitNameList(names); }
