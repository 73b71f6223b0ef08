#include <algorithm>
#include <iterator>
#include <map>
#include <unordered_map>

#include "base/CommaText.h"
#include "base/Error.h"
#include "base/Numbers.h"
#include "base/Sjis.h"
#include "data/Clipboard.h"
#include "data/DBEntries.h"
#include "data/ListDB.h"
#include "data/UndoHistory.h"
#include "layout/Invalidate.h"
#include "layout/Layout.h"
#include "layout/Shapes.h"
#include "layout/Specials.h"

// ---- MListDB: selection, search and the key index

void MListDB::Select(int index) {
  if (index >= 0 && index < VisibleCount()) selection_ = index;
}

void MListDB::SelectPrevious() {
  if (selection_ > 0) --selection_;
}

void MListDB::SelectNext() {
  if (selection_ < VisibleCount() - 1) ++selection_;
}

namespace {

// MBlockInstance::MatchesSearch with the search text folded once for a whole list: the search
// elements' texts, folded, hold the folded search text on a character boundary.
class SearchMatcher {
 public:
  explicit SearchMatcher(std::string_view text) : folded_(base::UpperCase(text)) {}

  bool operator()(const MBlockInstance& block) const {
    for (const std::size_t child : SearchChildren(block.Class())) {
      if (Holds(block.TextView(child, text_))) return true;
    }
    return false;
  }

 private:
  // The text children named in the class's search list, found once per class.
  const std::vector<std::size_t>& SearchChildren(const MBlock& blockClass) const {
    if (&blockClass == class_) return children_;
    class_ = &blockClass;
    children_.clear();
    for (std::size_t i = 0; i < blockClass.Children.size(); ++i) {
      const MControl& child = *blockClass.Children[i];
      if (child.IsText() && IndexOfName(blockClass.SearchElements, child.Name) >= 0) children_.push_back(i);
    }
    return children_;
  }

  bool Holds(std::string_view hay) const {
    base::UpperCaseInto(hay, hay_);
    return base::FindBytes(hay_, folded_) != std::string_view::npos;
  }

  std::string folded_;
  mutable std::string text_;  // a text that is no stored line, its storage kept from text to text
  mutable std::string hay_;   // the folded text, likewise
  mutable const MBlock* class_ = nullptr;
  mutable std::vector<std::size_t> children_;
};

}  // namespace

void MListDB::SetSearch(std::string_view text) {
  if (text == searchText_) return;
  searchText_.clear();
  matches_.clear();
  selection_ = -1;
  if (!text.empty()) {
    searchText_ = text;
    const SearchMatcher matches(searchText_);
    for (const auto& entry : entries_) {
      if (matches(*entry)) matches_.push_back(entry.get());
    }
    if (!matches_.empty()) selection_ = 0;
  } else if (!entries_.empty()) {
    selection_ = 0;
  }
}

void MListDB::RebuildMatches() {
  if (Searching()) {
    matches_.clear();
    const SearchMatcher matches(searchText_);
    for (const auto& entry : entries_) {
      if (matches(*entry)) matches_.push_back(entry.get());
    }
  }
  ClampSelection();
  if (selection_ == -1 && VisibleCount() > 0) selection_ = 0;
}

std::unique_ptr<MBlockInstance> MListDB::TakeByKey(std::string_view className,
                                                   const std::vector<std::string>& keys) {
  for (auto at = entries_.begin(); at != entries_.end(); ++at) {
    if ((*at)->Name() != className || !(*at)->MatchesKeys(keys)) continue;
    if (MUndoHistory* recorder = Recorder())
      recorder->ListRemoved(*this, {static_cast<int>(at - entries_.begin())}, {at->get()});
    std::unique_ptr<MBlockInstance> taken = std::move(*at);
    entries_.erase(at);
    // Meant for lists without a search; with one, the match goes too.
    std::erase(matches_, taken.get());
    ClampSelection();
    modified_ = true;
    return taken;
  }
  return nullptr;
}

namespace {

// What a block's key elements demand of a key: per key position either a fixed text or anything
// (the block has no element of that name). A block whose key element is not a text, or two of whose
// key elements at one position differ, matches no key at all.
struct KeyShape {
  bool matchable = true;
  std::string mask;                // per key position: '1' fixed, '0' anything
  std::vector<std::string> fixed;  // the fixed texts, per position ("" where mask is '0')
};

KeyShape ShapeOf(const MBlockInstance& block) {
  KeyShape shape;
  const MBlock& blockClass = block.Class();
  const std::size_t count = blockClass.KeyElements.size();
  shape.mask.assign(count, '0');
  shape.fixed.resize(count);
  std::string scratch;
  for (std::size_t c = 0; c < blockClass.Children.size(); ++c) {
    const MControl& child = *blockClass.Children[c];
    const int k = IndexOfName(blockClass.KeyElements, child.Name);
    if (k < 0) continue;
    if (!child.IsText()) {
      shape.matchable = false;
      return shape;
    }
    const auto i = static_cast<std::size_t>(k);
    std::string value(block.TextView(c, scratch));
    if (shape.mask[i] == '1' && shape.fixed[i] != value) {
      shape.matchable = false;
      return shape;
    }
    shape.mask[i] = '1';
    shape.fixed[i] = std::move(value);
  }
  return shape;
}

// The index key: class name, mask, then the texts at the fixed positions, each with its length so
// that no text can pass for another.
std::string IndexKey(std::string_view className, const std::string& mask,
                     const std::vector<std::string>& texts) {
  std::string key(className);
  key += '\0';
  key += mask;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] != '1') continue;
    const std::string_view text = i < texts.size() ? std::string_view(texts[i]) : std::string_view();
    key += '\0';
    key += std::to_string(text.size());
    key += ':';
    key += text;
  }
  return key;
}

}  // namespace

std::vector<std::unique_ptr<MBlockInstance>> MListDB::TakeByKeys(const std::vector<MKeyQuery>& queries) {
  std::vector<std::unique_ptr<MBlockInstance>> results(queries.size());
  if (Searching()) {
    for (std::size_t q = 0; q < queries.size(); ++q)
      results[q] = TakeByKey(queries[q].ClassName, queries[q].Keys);
    return results;
  }

  // Blocks by the keys they match, each bucket in list order.
  struct Bucket {
    std::vector<std::size_t> indexes;
    std::size_t head = 0;  // indexes before it are taken
  };
  std::unordered_map<std::string, Bucket> buckets;
  std::unordered_map<std::string, std::vector<std::string>> masksOfClass;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const MBlockInstance& block = *entries_[i];
    const KeyShape shape = ShapeOf(block);
    if (!shape.matchable) continue;
    std::vector<std::string>& masks = masksOfClass[block.Name()];
    if (std::find(masks.begin(), masks.end(), shape.mask) == masks.end()) masks.push_back(shape.mask);
    buckets[IndexKey(block.Name(), shape.mask, shape.fixed)].indexes.push_back(i);
  }

  bool tookAny = false;
  std::vector<std::pair<std::size_t, MBlockInstance*>> takenAt;  // for the undo history
  for (std::size_t q = 0; q < queries.size(); ++q) {
    const auto masks = masksOfClass.find(queries[q].ClassName);
    if (masks == masksOfClass.end()) continue;
    Bucket* best = nullptr;
    for (const std::string& mask : masks->second) {
      const auto hit = buckets.find(IndexKey(queries[q].ClassName, mask, queries[q].Keys));
      if (hit == buckets.end()) continue;
      Bucket& bucket = hit->second;
      if (bucket.head == bucket.indexes.size()) continue;
      if (best == nullptr || bucket.indexes[bucket.head] < best->indexes[best->head]) best = &bucket;
    }
    if (best == nullptr) continue;
    const std::size_t index = best->indexes[best->head++];
    takenAt.emplace_back(index, entries_[index].get());
    results[q] = std::move(entries_[index]);
    tookAny = true;
  }
  if (tookAny) {
    if (MUndoHistory* recorder = Recorder()) {
      std::sort(takenAt.begin(), takenAt.end());
      std::vector<int> indexes;
      std::vector<MBlockInstance*> blocks;
      for (const auto& [index, block] : takenAt) {
        indexes.push_back(static_cast<int>(index));
        blocks.push_back(block);
      }
      recorder->ListRemoved(*this, std::move(indexes), std::move(blocks));
    }
    std::erase_if(entries_, [](const auto& entry) { return entry == nullptr; });
    ClampSelection();
    modified_ = true;
  }
  return results;
}
