// tessora --batch FILE.map [ACTION...]: the document commands for scripts.
// tessora --batch --layout FILE.lay [ACTION...]: the same from a new, untitled document on a layout.
//
// Opens FILE.map as the editor does (or starts a new document on FILE.lay, as the window's new
// document command does), runs the actions in the order given and prints
// "pages=<n> placed=<n> unplaced=<n> trash=<n>". A new document is written only by "--save OUT.map".
// Actions:
//   --auto-map         every unplaced block after what is placed (the cursor on the end of the data)
//   --same-map REF.map same-position mapping with REF.map as the reference
//   --save [OUT.map]   save to OUT.map (as save-as does), or over FILE.map; a new document needs OUT.map
//   --list             one line per placed entry: <page> <row> <column> <type name> <face text>
//   --pdf OUT.pdf [--pages FIRST-LAST]  the pages printed into a PDF (app/ExportActions.h)
//   --png DIR [--dpi N]                 one PNG picture per page, DIR/page-001.png, ...
//   --import-csv DATA.csv [--class NAME] [--encoding utf-8|sjis] [--separator ,|tab|;]
//                      one new unplaced block of class NAME per record (data/CsvImport.h); the class
//                      may be left out when the layout has one; encoding and separator are detected
//                      unless given
//   --export-csv OUT.csv [--encoding utf-8|sjis] [--separator ,|tab|;] [--lists yes|no]
//                      one record per placed block (UTF-8 with a byte order mark unless sjis is given);
//                      with --lists yes the unplaced and trash blocks follow
// File names are taken relative to the shell's working directory. On any error the message goes to
// standard error, nothing is written (no file, no output) and the exit status is 1.
#pragma once

#include <string>

#include "app/cli/CommandLine.h"

int RunBatch(CommandArgs args);

// What --list prints of the open document (UTF-8, a line per placed entry).
std::string PageListing();
// The closing line of a run: "pages=<n> placed=<n> unplaced=<n> trash=<n>" and a line break.
std::string DocumentCounts();
