// A page form: its elements and its grid of points. Pages are clones of the layout's first form.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layout/Containers.h"
#include "layout/Grid.h"

class MForm : public MContainer {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::Form; }
  MForm() : MContainer(MKind::Form) {}
  std::unique_ptr<MForm> Clone() const { return CloneAs(*this); }

  // Container copy, then the grid's points (without their entries).
  void Assign(const MControl& source) override;
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;
  // The form's own editable texts first, then those of the blocks placed on its grid.
  MText* FindEditableText(double x, double y) override;
  // Own children first, then the children of the blocks placed on the grid.
  bool Contains(const MControl* element) const override;

  // Form values of a page (BlockValues.cpp).
  // The first form text with exactly this name gets the value and the explicit mark.
  void SetFormText(std::string_view name, std::string_view value, bool isExplicit);
  // Every text of source passes its value to the form text of the same name here, not explicit.
  void CopyFormTexts(const MForm& source);
  // Appends "<page>.<name>=<value>" for every explicit form text; line breaks are written "<br>".
  void WriteFormData(int pageNumber, std::vector<std::string>& lines) const;
  // The value to set for a form text from a "form_data" line: for a memo text every "<br>" becomes
  // CR LF, any other text keeps it as written (as block values do).
  std::string FormTextFromData(std::string_view name, std::string_view dataValue) const;

  // What a form text holds on a page, exactly: its lines and whether it was set there.
  struct TextState {
    std::vector<std::string> Lines;
    bool Explicit = false;
    bool operator==(const TextState&) const = default;
  };
  // The state of every form text, in the form's order; the same form takes it back with
  // RestoreFormTexts (undoing a change restores the values byte for byte, not through SetText).
  std::vector<TextState> FormTextStates() const;
  void RestoreFormTexts(const std::vector<TextState>& states);
  // The state of the first form text with exactly this name; false when there is none.
  bool FormTextState(std::string_view name, TextState& state) const;
  void RestoreFormText(std::string_view name, const TextState& state);

  MGrid Grid;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MForm>(); }
};
