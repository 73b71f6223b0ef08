// The system clipboard behind the engine's clipboard interface.
//
// A format name becomes a private MIME type ("CF_MAPBLOCK" → "application/x-tessora-cf-mapblock")
// whose data is exactly the bytes the engine gives, so two running editors exchange blocks through
// the desktop's clipboard byte for byte. A block row is offered as plain text too (Unicode from its
// Shift-JIS), so that it can be pasted into a text editor; plain text alone is never taken for a
// block.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "data/Clipboard.h"

class QClipboard;

class MQtClipboard : public MClipboard {
 public:
  // The application's clipboard; a clipboard that is not there holds nothing and takes nothing.
  MQtClipboard();
  explicit MQtClipboard(QClipboard* clipboard) : clipboard_(clipboard) {}

  void SetData(std::string_view format, const std::string& bytes) override;
  bool GetData(std::string_view format, std::string& bytes) const override;
  // Whether the clipboard holds format, without reading it.
  bool HasData(std::string_view format) const;
  // Whether the clipboard holds plain text (for the in-place editor).
  bool HasText() const;

  // The MIME type that carries a format name.
  static QString MimeType(std::string_view format);

 private:
  QClipboard* clipboard_;
};
