// The layout: settings, page forms and block classes, as one layout file defines them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layout/Containers.h"
#include "layout/Controls.h"
#include "layout/Form.h"

enum MUnit : std::uint8_t { unMillimetre, unCentimetre, unInch };

// Layout-wide settings, as read from the layout file (not scaled).
class MSetting {
 public:
  MSetting();

  // Gives an element just created by the loader the defaults in force: the stroke width, a shape's
  // alignment, a text's font, a form's page size; lengths times Scale.
  void Apply(MControl& element) const;

  double Scale = 1.0;
  std::uint8_t Unit = unMillimetre;
  std::string FontFamily;  // "ＭＳ Ｐゴシック"
  double FontSize = 3.53;
  std::uint8_t FontStyle = 0;
  double StrokeWidth = 0.2;
  std::uint8_t Align = alLeft;
  double PageWidth = 297;
  double PageHeight = 210;
  double PrintX = 0, PrintY = 0;
  bool PaperFit = true;
};

class MLayout {
 public:
  MLayout() = default;
  MLayout(const MLayout&) = delete;
  MLayout& operator=(const MLayout&) = delete;

  // Frees every form and block class and restores the default settings.
  void Clear();
  MForm* AddForm(std::unique_ptr<MForm> form);
  MBlock* AddBlock(std::unique_ptr<MBlock> block);
  bool HasForms() const { return !Forms.empty(); }
  // A page: a clone of the first form, or null when there is none.
  std::unique_ptr<MForm> NewPageForm() const;
  // The first block class with exactly this name (case-sensitive), or null.
  MBlock* FindBlock(std::string_view className) const;
  void RemoveEmptyRows();
  // Appends to a block-field row (entry 0 the class name, then keys) the name of every editable text
  // of that class that the row's keys lack (compared without regard to case), in child order.
  void AddEditableNames(std::string_view className, std::vector<std::string>& fieldRow) const;

  MSetting Setting;
  std::vector<std::unique_ptr<MForm>> Forms;
  std::vector<std::unique_ptr<MBlock>> Blocks;
};

// The layout of the open document: one of the global objects (data/MapGlobal.h lists them all), made
// and released by the programs' start-up; empty outside it.
extern std::unique_ptr<MLayout> gLayout;
