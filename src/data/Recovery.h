// Recovery copies: while a document has changes that are not saved, the editor keeps a copy of it as
// it would be saved, so that a crash or a kill loses at most the last moments of work. The copies
// live in the user's state folder ($XDG_STATE_HOME/tessora, by default ~/.local/state/tessora), one
// per document, named after the document's full path. A copy is written atomically (a half-written
// copy never replaces a whole one) and is removed once the document is saved or closed cleanly.
//
// Paths, the folder's included, are Shift-JIS texts as the document commands hold them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The folder of the copies; created when a copy is written.
std::string RecoveryFolder();
// Where the copy of the document at documentPath is kept.
std::string RecoveryPathFor(std::string_view documentPath);
// Writes bytes as the copy of the document at documentPath. Raises base::Error when it cannot.
void WriteRecoveryCopy(std::string_view documentPath, const std::string& bytes);
// The copy of the document, when there is one newer than the document's file (or the file is gone):
// true with its bytes. A copy older than the file (saved since by another run) is not offered.
bool FindRecoveryCopy(std::string_view documentPath, std::string& bytes);
// Removes the copy of the document, if any.
void RemoveRecoveryCopy(std::string_view documentPath);

// Untitled documents (started from a layout and never saved) have no path to name their copy after:
// each running editor keeps the copy of its untitled document under a name made of its process id and
// start time, in the same folder. A later start offers the copies whose editor is no longer running.
//
// Where this process keeps the copy of its untitled document.
std::string UntitledRecoveryPath();
// Writes bytes as this process's untitled copy. Raises base::Error when it cannot.
void WriteUntitledRecoveryCopy(const std::string& bytes);
// Removes this process's untitled copy, if any.
void RemoveUntitledRecoveryCopy();
struct MRecoveryCopy {
  std::string Path;  // the copy itself, for RemoveRecoveryFile once it is taken or declined
  std::string Bytes;
};
// The untitled copies left by editors that are no longer running, newest first; empty ones are skipped.
std::vector<MRecoveryCopy> FindUntitledRecoveryCopies();
// Removes one copy found by FindUntitledRecoveryCopies; a path outside the recovery folder is left
// alone.
void RemoveRecoveryFile(std::string_view copyPath);
