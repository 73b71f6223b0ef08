// The configuration: folders, the image cache size and the folder aliases, read once at start-up from
// the ini file beside the program (the program file's path with its extension replaced by ".ini"), or
// for a copy installed in a system folder from $XDG_CONFIG_HOME/tessora/tessora.ini.
//
//   [config]
//   temp_folder=.\temp          folder of the -t start (default .\temp)
//   map_folder=.\data           first folder of the open and save dialogs (default .\data)
//   image_cache_size=300        capacity of the image cache; 0x20 is hexadecimal
//   [folder_alias]
//   img=.\images                "<img>\photo.png" names a file in that folder
//
// Paths are Shift-JIS text, like every other text of the program, and come from a Windows world where
// "\" separates folders. The process's working directory is never changed: relative names are taken
// relative to the program folder while the configuration is read, and to CurrentFolder afterwards.
// FullPath turns a name into the full path of a file, with "/" for every "\" that stands on a character
// boundary (the second byte of a Shift-JIS character may be 0x5C); NativePath gives the bytes the file
// system takes for such a path (UTF-8).
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct MFolderAliases {
  std::vector<std::string> Tokens;   // "<" + key + ">", in file order
  std::vector<std::string> Folders;  // full path of each token's folder, without trailing separator
};

class MIni {
 public:
  // Reads the configuration of the running program (/proc/self/exe).
  MIni();
  // Reads the configuration of the program file programPath (as the system names it, UTF-8).
  // Raises base::Error when the program's folder does not exist.
  explicit MIni(std::string_view programPath);

  const std::string& ProgramFolder() const { return programFolder_; }
  // Where relative folder settings and unknown aliases point: the program folder, or for a copy
  // installed in a system folder the user's $XDG_DATA_HOME/tessora.
  const std::string& HomeFolder() const { return homeFolder_; }
  const std::string& CurrentFolder() const { return currentFolder_; }
  const std::string& TempFolder() const { return tempFolder_; }
  const std::string& MapFolder() const { return mapFolder_; }
  int ImageCacheSize() const { return imageCacheSize_; }
  const MFolderAliases& FolderAliases() const { return folderAliases_; }

  // Makes the folder of filePath (a file's path, taken relative to CurrentFolder when relative) the
  // current folder. Raises base::Error, leaving CurrentFolder as it was, when that folder does not
  // exist.
  void SetCurrentFolder(std::string_view filePath);

  // Replaces the first alias token of path ("<key>", without regard to case) wherever it occurs by the
  // alias's folder, or by the program folder when no alias has that key. Only the first token found
  // is resolved; a path without "<" ... ">" is returned as it is.
  std::string ResolvePath(std::string_view path) const;

  // The full path of name: "\" separators become "/", a relative name is taken relative to
  // CurrentFolder, "." and ".." are resolved, and no separator is left at the end. Resolve aliases
  // first with ResolvePath.
  std::string FullPath(std::string_view name) const;

 private:
  std::string programFolder_;
  std::string homeFolder_;
  std::string currentFolder_;
  std::string tempFolder_;
  std::string mapFolder_;
  int imageCacheSize_ = 300;
  MFolderAliases folderAliases_;
};

// path with every "\" on a character boundary replaced by "/".
std::string SlashSeparators(std::string_view path);

// The file system's name for a path of the program (Shift-JIS text): its separators as SlashSeparators
// makes them, converted to UTF-8.
std::string NativePath(std::string_view path);
