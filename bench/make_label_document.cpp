// Writes a shelf-label document for whole-process measurements (LabelDocumentGenerator.h):
//   make_label_document FOLDER [PLACED_ROWS [UNPLACED_ROWS]]
// gives FOLDER/labels.lay and FOLDER/labels-<placed>.map, and prints the document's path.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "LabelDocumentGenerator.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_label_document FOLDER [PLACED_ROWS [UNPLACED_ROWS]]\n");
    return 2;
  }
  bench::LabelShape shape;
  if (argc > 2) shape.placedRows = std::strtoull(argv[2], nullptr, 10);
  if (argc > 3) shape.unplacedRows = std::strtoull(argv[3], nullptr, 10);
  std::filesystem::create_directories(argv[1]);
  const std::string path =
      bench::WriteLabelDocument(argv[1], "labels-" + std::to_string(shape.placedRows) + ".map", shape);
  std::printf("%s\n", path.c_str());
  return 0;
}
