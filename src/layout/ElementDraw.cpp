// Element drawing. Every element kind draws itself through the canvas it is given; this file holds
// all of those operations so that drawing can be built apart from the model. Until it is, each one
// refuses loudly: a silent no-op would draw blank pages that look like a working program.
#include <stdexcept>

#include "layout/Controls.h"
#include "layout/Form.h"
#include "layout/Grid.h"

namespace {
[[noreturn]] void NotBuilt() { throw std::logic_error("element drawing is not built yet"); }
}  // namespace

void MLine::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
void MBox::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
void MCircle::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
void MImage::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
void MText::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
void MBarcode::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
void MContainer::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
void MForm::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
void MGridPoint::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
void MGrid::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
void MSpace::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
void MNewLine::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
void MNewPage::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
void MEOD::Draw(MMapCanvas&, std::uint8_t, bool) { NotBuilt(); }
