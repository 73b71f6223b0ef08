// A mapping data file: read into rows, written back and read again; then opened as a document on a
// fixed small layout (document.lay), worked on with the mapping commands and the clipboard (the
// input's bytes are also what another program left there), saved and opened again.
//
// The first read takes whatever the bytes are; what it gives is a document the program could have
// written, so from there on every save and open must keep the document as it is: the same rows,
// the same blocks, the same bytes.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "base/CommaText.h"
#include "base/Error.h"
#include "base/Sjis.h"
#include "data/Clipboard.h"
#include "data/DocumentCommands.h"
#include "data/ListDB.h"
#include "data/MapDB.h"
#include "data/MapFile.h"
#include "data/MapGlobal.h"

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void CheckSameRows(const MMapFile& a, const MMapFile& b) {
  FUZZ_CHECK(a.LayoutName() == b.LayoutName());
  FUZZ_CHECK(a.BlockFields() == b.BlockFields());
  FUZZ_CHECK(a.FormData() == b.FormData());
  FUZZ_CHECK(a.MapData() == b.MapData());
  FUZZ_CHECK(a.UnmapData() == b.UnmapData());
  FUZZ_CHECK(a.TrashData() == b.TrashData());
}

std::set<const MBlockInstance*> BlocksOf(const MListDB& list) {
  std::set<const MBlockInstance*> blocks;
  for (const auto& block : list.Entries()) blocks.insert(block.get());
  return blocks;
}

struct Counts {
  int placed = 0, unplaced = 0, trashed = 0, pages = 0;
  bool operator==(const Counts&) const = default;
};

Counts DocumentCounts() {
  return {gMapDB->Count(), gUnmapDB->Count(), gTrashDB->Count(), gMapDB->PageCount()};
}

// Saves the open document to name, opens that file and saves it again: the same document, the same
// bytes. Returns the path of the first file.
std::string SaveAndReopen(const fuzz::ScratchFolder& scratch, const std::string& name) {
  const Counts before = DocumentCounts();
  const std::string first = scratch.File(name + "-1.map");
  const std::string second = scratch.File(name + "-2.map");
  // An open document saves into a writable folder, and what it saved opens again.
  try {
    SaveDocumentAs(first);
    FUZZ_CHECK(!IsModified());
    OpenDocument(first);
    FUZZ_CHECK(HasDocument());
    FUZZ_CHECK(DocumentCounts() == before);
    SaveDocumentAs(second);
  } catch (const base::Error& error) {
    std::fprintf(stderr, "%s\n", base::SjisToUtf8(error.what()).c_str());
    fuzz::Fail(__FILE__, __LINE__, "a document did not save or reopen");
  }
  FUZZ_CHECK(ReadBytes(first) == ReadBytes(second));
  return first;
}

void CheckDocument(const fuzz::ScratchFolder& scratch, const std::string& path,
                   std::string_view clipboardBytes) {
  try {
    OpenDocument(path);
  } catch (const MLayoutLoadError&) {
    fuzz::Fail(__FILE__, __LINE__, "the fixed layout did not load");
  } catch (const base::Error& error) {
    // A document that cannot be opened says so and leaves nothing open.
    FUZZ_CHECK(*error.what() != '\0');
    FUZZ_CHECK(!HasDocument());
    return;
  }
  FUZZ_CHECK(HasDocument());
  const Counts opened = DocumentCounts();
  const int blocks = opened.placed + opened.unplaced + opened.trashed;
  const std::string reference = SaveAndReopen(scratch, "opened");

  // The mapping commands move blocks between the pages and the lists; none is lost or made.
  AutoMapping();
  FUZZ_CHECK(gUnmapDB->Count() + gMapDB->Count() + gTrashDB->Count() == blocks);
  SameMapping(reference);
  FUZZ_CHECK(gUnmapDB->Count() + gMapDB->Count() + gTrashDB->Count() == blocks);
  gMapDB->CursorFirst();
  gMapDB->CursorNext();
  InsertPageBreak();
  InsertBlock("label");
  FUZZ_CHECK(gUnmapDB->Count() + gMapDB->Count() + gTrashDB->Count() == blocks + 1);

  // Another program may leave any bytes under the block format: a paste adds at most one block.
  MMemoryClipboard clipboard;
  clipboard.Put(kMapBlockFormat, std::string(clipboardBytes));
  PasteIntoPages(clipboard);
  PasteIntoUnplaced(clipboard);
  const int pasted = gUnmapDB->Count() + gMapDB->Count() + gTrashDB->Count();
  FUZZ_CHECK(pasted >= blocks + 1 && pasted <= blocks + 3);
  // What a copy puts there pastes as the same row.
  gMapDB->CursorFirst();
  clipboard.Clear();
  gMapDB->CopyEntry(clipboard);
  std::string copied;
  if (clipboard.GetData(kMapBlockFormat, copied) && gMapDB->Current()->IsBlock()) {
    const std::set<const MBlockInstance*> before = BlocksOf(*gUnmapDB);
    gUnmapDB->PasteEntry(clipboard);
    const MBlockInstance* added = nullptr;
    for (const auto& block : gUnmapDB->Entries()) {
      if (before.count(block.get()) == 0) added = block.get();
    }
    FUZZ_CHECK(added != nullptr);
    FUZZ_CHECK(base::EncodeCommaText(gUnmapDB->BlockRow(*added)) == copied);
  }
  SaveAndReopen(scratch, "mapped");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::ScratchFolder& scratch = []() -> const fuzz::ScratchFolder& {
    const fuzz::ScratchFolder& folder = fuzz::Scratch();
    folder.Write("tessora.ini", "[folder_alias]\r\nimg=.\r\n");
    const std::string layout = ReadBytes(TESSORA_FUZZ_DIR "/document.lay");
    FUZZ_CHECK(!layout.empty());
    folder.Write("fixed.lay", layout);
    CreateDataGlobals(folder.File("tessora"));
    return folder;
  }();
  const std::string input = scratch.Write("input.map", fuzz::Bytes(data, size));

  MMapFile file;
  file.ReadFile(input);  // an existing regular file always reads
  FUZZ_CHECK(file.FileName() == input);
  for (const MMapFile::Row& row : file.BlockFields()) {
    if (row.empty()) continue;
    const MMapFile::Row* found = file.FindBlockFields(row[0]);
    FUZZ_CHECK(found != nullptr && base::SameText((*found)[0], row[0]));
  }
  file.SetFileName(scratch.File("rows.map"));
  file.WriteFile();
  MMapFile back;
  back.ReadFile(scratch.File("rows.map"));
  CheckSameRows(file, back);

  // The same rows as a document of the fixed layout.
  file.SetLayoutName("fixed.lay");
  file.SetFileName(scratch.File("document.map"));
  file.WriteFile();
  CheckDocument(scratch, file.FileName(), fuzz::Bytes(data, size));
  ResetDocument();
  return 0;
}
