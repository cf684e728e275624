// The text library as a whole: the data directory, the standard source files
// (parsed once and cached), the open-file handles the plug-in searches through,
// and the look-up of a text ID for display.
#pragma once

#include "record_file.h"

#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

namespace stdhost {

// What a standard file holds; the display prefers one role over another where
// the same ID means different things (0x58200401 names a data item in the name
// file and P0401 in the trouble-code file).
enum class FileRole { Texts, Names, TroubleCodes, Commands };

struct StandardFile {
  FileRole role;
  const char *name;
  int kind;  // GetFileNameText kind, 0 = not handed out by kind
};

// The language of the texts. Russian texts lie in the "ru" folder of the data
// directory; command lists do not depend on the language and exist once.
enum class Language { English, Russian };

// Kept short: the plug-in copies these names into 80-byte buffers.
inline constexpr StandardFile kStandardFiles[] = {
    {FileRole::Texts, "TEXTLIB.TXT", 0},
    {FileRole::Names, "DSNAMES.TXT", 3},
    {FileRole::TroubleCodes, "DTCTEXT.TXT", 6},
    {FileRole::Commands, "COMMAND.GAG", 0},
};

class TextLibrary {
 public:
  // Loads every standard file of `dir`; false with the faults in `error` when a
  // file is missing or has bad lines (the good records stay usable).
  bool setDirectory(const std::string &dir, std::string &error);
  // The data directory, set up from the library's own location on first use.
  const std::string &directory();
  const std::string &loadError() const { return loadError_; }

  // The language of the texts. Unless chosen, each data directory's StdCfg.ini
  // decides (key Language), else English. Choosing reloads the files: false
  // with the faults in `error` when that language's files are missing or bad.
  Language language() const { return language_; }
  bool chooseLanguage(Language language, std::string &error);

  // A file by standard name, relative name (resolved in the data directory)
  // or absolute path; parsed on first use; null when unreadable.
  std::shared_ptr<const RecordFile> open(const std::string &nameOrPath);
  std::shared_ptr<const RecordFile> standard(FileRole role);

  // Text under `id`, from the files in the order given, then from the rest.
  std::optional<std::string> text(std::uint32_t id, std::initializer_list<FileRole> order);
  // The same without a copy (null when nowhere): valid until the directory changes. Live
  // data looks up every item of every pass; this touches no heap.
  const std::string *find(std::uint32_t id, std::initializer_list<FileRole> order);

  // Handles handed to the plug-in: numbered tokens, never reused, so a stale
  // or foreign handle finds nothing instead of touching freed memory.
  void *openHandle(const std::string &nameOrPath);
  const RecordFile *fromHandle(void *handle) const;
  bool closeHandle(void *handle);

 private:
  void ensureLoaded();
  std::string resolve(const std::string &nameOrPath);

  bool load(std::string &error);

  std::string dir_;
  Language language_ = Language::English;
  bool languageChosen_ = false;
  bool loaded_ = false;
  std::string loadError_;
  std::map<std::string, std::shared_ptr<const RecordFile>> cache_;
  // The standard files by role, opened once per directory (a look-up builds no path).
  std::shared_ptr<const RecordFile> standard_[std::size(kStandardFiles)];
  bool standardOpened_[std::size(kStandardFiles)] = {};
  std::unordered_map<std::uintptr_t, std::shared_ptr<const RecordFile>> handles_;
  std::uintptr_t nextHandle_ = 1;
};

// Copies at most size - 1 bytes of `text` and terminates; never splits a UTF-8
// character. Returns the number of bytes copied.
int copyText(const std::string &text, char *out, int size);

}  // namespace stdhost
