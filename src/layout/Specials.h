// The special entries that stand between blocks in the sequence of placed entries: a blank, a row
// break, a page break and the end of the data.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layout/Controls.h"

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
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MSpace>(); }
};

class MNewLine : public MSpecial {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::NewLine; }
  MNewLine() : MSpecial(MKind::NewLine) { Name = "newline"; }
  std::unique_ptr<MNewLine> Clone() const { return CloneAs(*this); }
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MNewLine>(); }
};

class MNewPage : public MSpecial {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::NewPage; }
  MNewPage() : MSpecial(MKind::NewPage) { Name = "newpage"; }
  std::unique_ptr<MNewPage> Clone() const { return CloneAs(*this); }
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MNewPage>(); }
};

class MEOD : public MSpecial {
 public:
  static constexpr bool IsKindOf(MKind k) { return k == MKind::EndOfData; }
  MEOD() : MSpecial(MKind::EndOfData) { Name = "eod"; }
  std::unique_ptr<MEOD> Clone() const { return CloneAs(*this); }
  void Draw(MElementCanvas& canvas, std::uint8_t variant, bool clip) override;

 protected:
  std::unique_ptr<MControl> NewSame() const override { return std::make_unique<MEOD>(); }
};

// Draws a special entry of that kind standing at (x, y) on a page: the pages keep their special
// entries as tags (layout/Entry.h), and the element of the kind draws for a moment.
void DrawSpecialEntry(MKind kind, double x, double y, MElementCanvas& canvas, std::uint8_t variant,
                      bool clip);
