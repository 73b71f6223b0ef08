// The clipboard as the block databases see it: byte blocks stored under a format name.
//
// Copying an entry puts exactly the bytes of one encoded row (Shift-JIS comma text, no terminating
// zero) under the format "CF_MAPBLOCK". The window supplies the system clipboard behind this
// interface; MMemoryClipboard serves the tests and the headless tools.
#pragma once

#include <map>
#include <string>
#include <string_view>

inline constexpr std::string_view kMapBlockFormat = "CF_MAPBLOCK";

class MClipboard {
 public:
  virtual ~MClipboard() = default;
  // Empties the clipboard and puts bytes on it under format, as its only content. Raises base::Error
  // when the clipboard cannot take them.
  virtual void SetData(std::string_view format, const std::string& bytes) = 0;
  // The bytes held under format; false when the clipboard holds nothing in that format.
  virtual bool GetData(std::string_view format, std::string& bytes) const = 0;
};

class MMemoryClipboard : public MClipboard {
 public:
  void SetData(std::string_view format, const std::string& bytes) override {
    data_.clear();
    data_.emplace(std::string(format), bytes);
  }
  bool GetData(std::string_view format, std::string& bytes) const override {
    const auto hit = data_.find(std::string(format));
    if (hit == data_.end()) return false;
    bytes = hit->second;
    return true;
  }
  // What another program might leave there: any format, without emptying the others.
  void Put(std::string_view format, const std::string& bytes) { data_[std::string(format)] = bytes; }
  void Clear() { data_.clear(); }

 private:
  std::map<std::string, std::string> data_;
};
