#include "layout/LoadLayout.h"

#include <algorithm>
#include <memory>

#include "base/Numbers.h"
#include "base/Sjis.h"
#include "layout/TextFile.h"

namespace {

// An error that ends the load. Without a message it is a syntax error at the current token; with
// one it is reported with its own line (the current token's unless given).
struct LoadError {
  std::string message;
  std::int32_t line = -1;
};

const char* const kDuplicateName = "A name is duplicated";

bool Holds(std::initializer_list<std::uint8_t> kinds, std::uint8_t kind) {
  return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

constexpr std::uint32_t kColorOfKeyword[] = {kColorBlack, kColorWhite, kColorGray, kColorLightGray,
                                             kColorBlue,  kColorRed,   kColorGreen};

}  // namespace

MLoadLayout::MLoadLayout(MLayout& layout) : layout_(layout) {}

bool MLoadLayout::Load(const std::string& fileName) {
  if (!PathExists(fileName)) {
    ErrorText = "\"" + fileName + "\" does not exist.";
    return false;
  }
  Scanner.Open(fileName);
  // A layout names at most about one element per line; room for them saves rehashing large files.
  Names.reserve(Names.size() + std::min<std::size_t>(Scanner.Lines.size(), 1u << 20));
  try {
    Next();
    while (Token.Kind != tkEOF) ParseStatement();
  } catch (const LoadError& error) {
    if (error.message.empty()) {
      ErrorText = "The loading error of \"" + Scanner.FileName + "\" (" + std::to_string(Token.Line) +
                  ") : " + Token.Text;
    } else {
      const std::int32_t line = error.line >= 0 ? error.line : Token.Line;
      ErrorText = error.message + " (" + std::to_string(line) + ")";
    }
    return false;
  }
  layout_.RemoveEmptyRows();
  return true;
}

// ---- names

// Keys are the folded container name, ".", and the folded name. Both parts are identifiers, so
// folding them apart gives the same key as folding them joined.
MLoadLayout::ContainerNames& MLoadLayout::Container(std::string_view container) {
  // Elements come in runs of one container: remember the last one.
  if (lastNames_ != nullptr && lastContainer_ == container) return *lastNames_;
  const std::string folded = base::UpperCase(container);
  ContainerNames& names = containers_[folded];
  if (names.keyPrefix.empty()) names.keyPrefix = folded + ".";
  lastContainer_ = container;
  lastNames_ = &names;
  return names;
}

bool MLoadLayout::RegisterName(std::string_view container, std::string_view name) {
  std::string key = Container(container).keyPrefix;
  key += base::UpperCase(name);
  return Names.insert(std::move(key)).second;
}

std::string MLoadLayout::MakeDefaultName(std::string_view container, std::string_view base) {
  unsigned long long& next = Container(container).nextNumber[std::string(base)];
  if (next == 0) next = 1;
  while (true) {
    std::string name(base);
    name += std::to_string(next++);
    if (RegisterName(container, name)) return name;
  }
}

// ---- tokens and values

void MLoadLayout::Next() { Scanner.NextToken(Token); }

void MLoadLayout::SyntaxError() { throw LoadError{}; }

void MLoadLayout::Expect(std::uint8_t kind) {
  if (Token.Kind != kind) SyntaxError();
  Next();
}

double MLoadLayout::NumberValue() const {
  double v = 0;
  if (!base::ParseDouble(Value.Text, v)) {
    throw LoadError{"'" + Value.Text + "' is not a valid floating point value", Value.Line};
  }
  return v;
}

double MLoadLayout::LengthValue() const { return NumberValue() * layout_.Setting.Scale; }

bool MLoadLayout::ReadProperty(std::uint8_t kind, KindSet allowed) {
  if (Token.Kind != kind) return false;
  Next();
  Expect(tkColon);
  if (!Holds(allowed, Token.Kind)) SyntaxError();
  Value.Assign(Token);
  Next();
  Expect(tkSemicolon);
  return true;
}

bool MLoadLayout::ReadListProperty(std::uint8_t kind, KindSet allowed) {
  if (Token.Kind != kind) return false;
  Next();
  Expect(tkColon);
  if (!Holds(allowed, Token.Kind)) SyntaxError();
  Value.Assign(Token);
  while (true) {
    Next();
    if (Token.Kind == tkSemicolon) {
      Next();
      return true;
    }
    if (Token.Kind != tkComma) SyntaxError();
    Next();
    if (!Holds(allowed, Token.Kind)) SyntaxError();
    Value.Text += ',';
    Value.Text += Token.Text;
  }
}

bool MLoadLayout::ReadColorProperty(std::uint8_t kind, std::uint32_t& color) {
  if (!ReadProperty(kind, {tkBlack, tkWhite, tkGray, tkLightGray, tkBlue, tkRed, tkGreen})) return false;
  color = kColorOfKeyword[Value.Kind - tkBlack];
  return true;
}

bool MLoadLayout::ReadNumberProperty(std::uint8_t kind, double& out) {
  if (!ReadProperty(kind, {tkNumber})) return false;
  out = NumberValue();
  return true;
}

bool MLoadLayout::ReadFlagProperty(std::uint8_t kind, bool& out) {
  if (!ReadProperty(kind, {tkTrue, tkFalse})) return false;
  out = Value.Kind == tkTrue;
  return true;
}

// ---- statements

void MLoadLayout::ParseStatement() {
  if (ParseSetting() || ParseForm() || ParseBlock()) return;
  SyntaxError();
}

bool MLoadLayout::ParseSetting() {
  if (Token.Kind != tkSetting) return false;
  Next();
  Expect(tkLBrace);
  MSetting& setting = layout_.Setting;
  while (Token.Kind != tkRBrace) {
    if (ReadNumberProperty(tkScale, setting.Scale) || ParseDefault() || ParsePrint()) continue;
    SyntaxError();
  }
  Next();
  return true;
}

bool MLoadLayout::ParseDefault() {
  if (Token.Kind != tkDefault) return false;
  Next();
  Expect(tkLBrace);
  MSetting& setting = layout_.Setting;
  while (Token.Kind != tkRBrace) {
    if (ReadProperty(tkUnit, {tkMm, tkCm, tkIn})) {
      setting.Unit = static_cast<std::uint8_t>(Value.Kind - tkMm);
    } else if (ReadProperty(tkFontFamily, {tkString})) {
      setting.FontFamily = Value.Text;
    } else if (ReadNumberProperty(tkFontSize, setting.FontSize)) {
    } else if (ReadProperty(tkFontStyle, {tkNormal, tkItalic})) {
      if (Value.Kind == tkItalic) setting.FontStyle |= kFontItalic;
    } else if (ReadProperty(tkFontWeight, {tkNormal, tkBold})) {
      if (Value.Kind == tkBold) setting.FontStyle |= kFontBold;
    } else if (ReadNumberProperty(tkStrokeWidth, setting.StrokeWidth)) {
    } else if (ReadProperty(tkAlign, {tkLeft, tkCenter, tkRight})) {
      setting.Align = static_cast<std::uint8_t>(Value.Kind - tkLeft);
    } else {
      SyntaxError();
    }
  }
  Next();
  return true;
}

bool MLoadLayout::ParsePrint() {
  if (Token.Kind != tkPrint) return false;
  Next();
  Expect(tkLBrace);
  MSetting& setting = layout_.Setting;
  while (Token.Kind != tkRBrace) {
    if (ReadNumberProperty(tkWidth, setting.PageWidth) || ReadNumberProperty(tkHeight, setting.PageHeight) ||
        ReadNumberProperty(tkX, setting.PrintX) || ReadNumberProperty(tkY, setting.PrintY) ||
        ReadFlagProperty(tkPaperFit, setting.PaperFit)) {
      continue;
    }
    SyntaxError();
  }
  Next();
  return true;
}

void MLoadLayout::BeginElement(MControl& element, std::string_view owner, std::string_view base) {
  if (Token.Kind == tkIdent) {
    if (!RegisterName(owner, Token.Text)) throw LoadError{kDuplicateName};
    element.Name = Token.Text;
    Next();
  } else {
    element.Name = MakeDefaultName(owner, base);
  }
  Expect(tkLBrace);
}

bool MLoadLayout::ParseForm() {
  if (Token.Kind != tkForm) return false;
  Next();
  MForm& form = *layout_.AddForm(std::make_unique<MForm>());
  layout_.Setting.Apply(form);
  BeginElement(form, {}, "form");
  while (Token.Kind != tkRBrace) {
    if (ParsePosition(form) || ParseSize(form) || ParseStroke(form) || ParseVisible(form) ||
        ParseChildElement(form) || ParseGridPoint(form) || ParseNewLine(form)) {
      continue;
    }
    SyntaxError();
  }
  Next();
  return true;
}

bool MLoadLayout::ParseBlock() {
  if (Token.Kind != tkBlock) return false;
  Next();
  MBlock& block = *layout_.AddBlock(std::make_unique<MBlock>());
  layout_.Setting.Apply(block);
  BeginElement(block, {}, "block");
  while (Token.Kind != tkRBrace) {
    if (ParseSize(block) || ParseStroke(block) || ParseVisible(block) || ParseChildElement(block)) continue;
    if (ReadProperty(tkFaceElement, {tkIdent})) {
      block.FaceElement = Value.Text;
    } else if (ReadListProperty(tkThumbnailElement, {tkIdent})) {
      block.SetThumbnailElements(Value.Text);
    } else if (ReadListProperty(tkKeyElement, {tkIdent})) {
      block.SetKeyElements(Value.Text);
    } else if (ReadListProperty(tkSearchElement, {tkIdent})) {
      block.SetSearchElements(Value.Text);
    } else {
      SyntaxError();
    }
  }
  Next();
  return true;
}

// ---- elements

bool MLoadLayout::ParseChildElement(MContainer& owner) {
  return ParseLine(owner) || ParseBox(owner) || ParseCircle(owner) || ParseImage(owner) || ParseText(owner) ||
         ParseBarcode(owner);
}

bool MLoadLayout::ParseLine(MContainer& owner) {
  if (Token.Kind != tkLine) return false;
  Next();
  MLine& line = *owner.AddChild(std::make_unique<MLine>());
  layout_.Setting.Apply(line);
  BeginElement(line, owner.Name, "line");
  while (Token.Kind != tkRBrace) {
    if (ParseEndpoints(line) || ParseStroke(line) || ParseVisible(line)) continue;
    SyntaxError();
  }
  Next();
  return true;
}

bool MLoadLayout::ParseBox(MContainer& owner) {
  if (Token.Kind != tkBox) return false;
  Next();
  MBox& box = *owner.AddChild(std::make_unique<MBox>());
  layout_.Setting.Apply(box);
  BeginElement(box, owner.Name, "box");
  while (Token.Kind != tkRBrace) {
    if (ParsePosition(box) || ParseSize(box) || ParseStroke(box) || ParseVisible(box)) continue;
    SyntaxError();
  }
  Next();
  return true;
}

bool MLoadLayout::ParseCircle(MContainer& owner) {
  if (Token.Kind != tkCircle) return false;
  Next();
  MCircle& circle = *owner.AddChild(std::make_unique<MCircle>());
  layout_.Setting.Apply(circle);
  BeginElement(circle, owner.Name, "circle");
  while (Token.Kind != tkRBrace) {
    if (ParsePosition(circle) || ParseSize(circle) || ParseStroke(circle) || ParseVisible(circle)) continue;
    SyntaxError();
  }
  Next();
  return true;
}

bool MLoadLayout::ParseImage(MContainer& owner) {
  if (Token.Kind != tkImage) return false;
  Next();
  MImage& image = *owner.AddChild(std::make_unique<MImage>());
  layout_.Setting.Apply(image);
  BeginElement(image, owner.Name, "image");
  while (Token.Kind != tkRBrace) {
    if (ParsePosition(image) || ParseSize(image) || ParseAlign(image) || ParseVisible(image) ||
        ParseStretch(image)) {
      continue;
    }
    if (!ReadProperty(tkValue, {tkString})) SyntaxError();
    image.SetValue(Value.Text);
  }
  Next();
  return true;
}

bool MLoadLayout::ParseText(MContainer& owner) {
  if (Token.Kind != tkText) return false;
  Next();
  // A form's texts carry per-page values.
  MText& text = owner.IsForm() ? static_cast<MText&>(*owner.AddChild(std::make_unique<MFormText>()))
                               : *owner.AddChild(std::make_unique<MText>());
  layout_.Setting.Apply(text);
  BeginElement(text, owner.Name, "text");
  while (Token.Kind != tkRBrace) {
    if (ParsePosition(text) || ParseSize(text) || ParseFont(text) || ParseAlign(text) || ParseVisible(text) ||
        ParseStretch(text) || ParseEditable(text)) {
      continue;
    }
    if (ReadProperty(tkDataType, {tkInteger, tkFloat, tkDate, tkStringType, tkMemo, tkCreateDate, tkNowDate,
                                  tkNowPage, tkTotalPage})) {
      text.DataType = static_cast<std::uint8_t>(Value.Kind - tkInteger);
    } else if (ReadProperty(tkFormat, {tkString})) {
      text.Format = Value.Text;
    } else if (ReadProperty(tkValue, {tkNumber, tkString})) {
      // Only a memo (its data type given before the value) keeps the lines after the first.
      text.SetText(BreakTagsToLineBreaks(Value.Text));
    } else {
      SyntaxError();
    }
  }
  Next();
  return true;
}

bool MLoadLayout::ParseBarcode(MContainer& owner) {
  if (Token.Kind != tkBarcode) return false;
  Next();
  MBarcode& barcode = *owner.AddChild(std::make_unique<MBarcode>());
  layout_.Setting.Apply(barcode);
  BeginElement(barcode, owner.Name, "barcode");
  while (Token.Kind != tkRBrace) {
    if (ParsePosition(barcode) || ParseSize(barcode) || ParseVisible(barcode) ||
        ParseBarcodeStyle(barcode.Style)) {
      continue;
    }
    if (!ReadProperty(tkValue, {tkNumber, tkString})) SyntaxError();
    barcode.Value = Value.Text;
  }
  Next();
  return true;
}

namespace {

// The barcode element's own properties. They are no keywords of the language but identifiers that
// only a barcode element takes as property names, so that layouts that name elements with these
// words (or with the symbologies' names) still load.
enum BarcodeProperty { bpType, bpCheckDigit, bpStart, bpStop, bpRatio, bpText, bpEcc };
constexpr std::string_view kBarcodeProperties[] = {"bar-type",  "bar-check-digit", "bar-start", "bar-stop",
                                                   "bar-ratio", "bar-text",        "bar-ecc"};

template <std::size_t N>
int IndexOf(const std::string_view (&names)[N], std::string_view text) {
  for (std::size_t i = 0; i < N; ++i)
    if (names[i] == text) return static_cast<int>(i);
  return -1;
}

}  // namespace

void MLoadLayout::BeginNamedProperty(KindSet allowed) {
  Next();
  Expect(tkColon);
  if (!Holds(allowed, Token.Kind)) SyntaxError();
}

void MLoadLayout::EndNamedProperty() {
  Value.Assign(Token);
  Next();
  Expect(tkSemicolon);
}

// A bad value (a symbology or level that does not exist, a ratio outside 20-30, a start or stop
// that is not one character) is a syntax error at the value, like every other bad property.
bool MLoadLayout::ParseBarcodeStyle(MBarcodeStyle& style) {
  if (Token.Kind != tkIdent) return false;
  const int property = IndexOf(kBarcodeProperties, Token.Text);
  if (property < 0) return false;
  // One of a list of names, written as an identifier or a string.
  const auto choice = [this](const auto& names) {
    BeginNamedProperty({tkIdent, tkString});
    const int index = IndexOf(names, Token.Text);
    if (index < 0) SyntaxError();
    return static_cast<std::uint8_t>(index);
  };
  switch (property) {
    case bpType:
      style.Type = choice(kBarTypeNames);
      break;
    case bpCheckDigit:
    case bpText:
      BeginNamedProperty({tkTrue, tkFalse});
      if (property == bpCheckDigit)
        style.CheckDigit = Token.Kind == tkTrue;
      else
        style.Text = Token.Kind == tkTrue ? btxShow : btxHide;
      break;
    case bpStart:
    case bpStop:
      BeginNamedProperty({tkIdent, tkString, tkNumber});
      if (Token.Text.size() != 1) SyntaxError();
      (property == bpStart ? style.Start : style.Stop) = Token.Text[0];
      break;
    case bpRatio: {
      BeginNamedProperty({tkNumber});
      double ratio = 0;
      if (!base::ParseDouble(Token.Text, ratio) || ratio < 20 || ratio > 30) SyntaxError();
      style.Ratio = static_cast<std::uint8_t>(base::RoundHalfEven(ratio));
      break;
    }
    case bpEcc:
      style.Ecc = choice(kBarEccNames);
      break;
  }
  EndNamedProperty();
  return true;
}

bool MLoadLayout::ParseGridPoint(MForm& form) {
  if (Token.Kind != tkGridPoint) return false;
  Next();
  MGridPoint& point = *form.Grid.AddPoint(std::make_unique<MGridPoint>());
  layout_.Setting.Apply(point);
  BeginElement(point, form.Name, "point");
  while (Token.Kind != tkRBrace) {
    if (ParsePosition(point) || ParseVisible(point)) continue;
    if (!ReadListProperty(tkBlockType, {tkAll, tkNone, tkIdent})) SyntaxError();
    point.SetBlockTypes(Value.Text);
  }
  Next();
  return true;
}

bool MLoadLayout::ParseNewLine(MForm& form) {
  if (Token.Kind != tkNewLine) return false;
  Next();
  Expect(tkSemicolon);
  form.Grid.NewRow();
  return true;
}

// ---- property groups

bool MLoadLayout::ParsePosition(MControl& element) {
  if (ReadProperty(tkX, {tkNumber})) {
    element.SetX(LengthValue());
  } else if (ReadProperty(tkY, {tkNumber})) {
    element.SetY(LengthValue());
  } else {
    return false;
  }
  return true;
}

bool MLoadLayout::ParseEndpoints(MControl& element) {
  if (ReadProperty(tkX1, {tkNumber})) {
    element.SetX1(LengthValue());
  } else if (ReadProperty(tkY1, {tkNumber})) {
    element.SetY1(LengthValue());
  } else if (ReadProperty(tkX2, {tkNumber})) {
    element.SetX2(LengthValue());
  } else if (ReadProperty(tkY2, {tkNumber})) {
    element.SetY2(LengthValue());
  } else {
    return false;
  }
  return true;
}

bool MLoadLayout::ParseSize(MControl& element) {
  if (ReadProperty(tkWidth, {tkNumber})) {
    element.SetWidth(LengthValue());
  } else if (ReadProperty(tkHeight, {tkNumber})) {
    element.SetHeight(LengthValue());
  } else {
    return false;
  }
  return true;
}

bool MLoadLayout::ParseStroke(MControl& element) {
  if (ReadProperty(tkStrokeWidth, {tkNumber})) {
    element.StrokeWidth = LengthValue();
  } else if (ReadProperty(tkStrokeStyle, {tkSolid, tkDash, tkDot, tkDashDot, tkDashDotDot, tkNone})) {
    element.StrokeStyle =
        static_cast<std::uint8_t>(Value.Kind == tkNone ? int{ssNone} : Value.Kind - tkSolid);
  } else if (ReadColorProperty(tkStroke, element.StrokeColor)) {
  } else if (ReadProperty(tkFillStyle, {tkSolid, tkNone})) {
    element.FillStyle = Value.Kind == tkSolid ? fsSolid : fsNone;
  } else if (ReadColorProperty(tkFill, element.FillColor)) {
  } else {
    return false;
  }
  return true;
}

bool MLoadLayout::ParseFont(MText& text) {
  if (ReadProperty(tkFontFamily, {tkString})) {
    text.FontFamily = Value.Text;
  } else if (ReadProperty(tkFontSize, {tkNumber})) {
    text.FontSize = LengthValue();
  } else if (ReadProperty(tkFontStyle, {tkNormal, tkItalic})) {
    // "normal" changes nothing: a style given by the defaults stays.
    if (Value.Kind == tkItalic) text.FontStyle |= kFontItalic;
  } else if (ReadProperty(tkFontWeight, {tkNormal, tkBold})) {
    if (Value.Kind == tkBold) text.FontStyle |= kFontBold;
  } else {
    return false;
  }
  return true;
}

bool MLoadLayout::ParseAlign(MShape& shape) {
  if (!ReadProperty(tkAlign, {tkLeft, tkCenter, tkRight})) return false;
  shape.Align = static_cast<std::uint8_t>(Value.Kind - tkLeft);
  return true;
}

bool MLoadLayout::ParseVisible(MControl& element) { return ReadFlagProperty(tkVisible, element.Visible); }
bool MLoadLayout::ParseStretch(MShape& shape) { return ReadFlagProperty(tkStretch, shape.Stretch); }
bool MLoadLayout::ParseEditable(MShape& shape) { return ReadFlagProperty(tkEditable, shape.Editable); }
