// A page form: its elements and its grid of points. Every page of a document shows the layout's
// first form and keeps only what differs from page to page (layout/Page.h).
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

  // Container copy, then the grid's points.
  void Assign(const MControl& source) override;
  // The elements, then the marks of the grid's points.
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

  MGrid Grid;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MForm>(); }
};
