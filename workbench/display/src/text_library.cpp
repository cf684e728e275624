// Text library: standard files, cache, handles and display look-up.
#include "text_library.h"

#include "host_location.h"
#include "language_choice.h"
#include "list_check.h"
#include "workbench/install_layout.h"

#include <algorithm>
#include <cstring>

namespace stdhost {

bool TextLibrary::setDirectory(const std::string &dir, std::string &error) {
  dir_ = dir;
  if (!dir_.empty() && dir_.back() != '/') dir_ += '/';
  if (!languageChosen_) language_ = configuredLanguage(dir_).value_or(Language::English);
  return load(error);
}

bool TextLibrary::chooseLanguage(Language language, std::string &error) {
  ensureLoaded();
  language_ = language;
  languageChosen_ = true;
  return load(error);
}

bool TextLibrary::load(std::string &error) {
  cache_.clear();  // open handles keep their own files alive
  for (auto &f : standard_) f.reset();
  for (bool &opened : standardOpened_) opened = false;
  loaded_ = true;
  loadError_.clear();
  for (const auto &f : kStandardFiles) {
    auto file = open(f.name);
    if (!file) {
      loadError_ += (loadError_.empty() ? "" : "\n") + std::string("cannot read ") + resolve(f.name);
      continue;
    }
    std::vector<std::string> faults = file->errors;
    checkLists(*file, f.role, faults);
    for (const auto &e : faults) loadError_ += (loadError_.empty() ? "" : "\n") + e;
  }
  error = loadError_;
  return loadError_.empty();
}

void TextLibrary::ensureLoaded() {
  if (loaded_) return;
  std::string ignored;
  setDirectory(workbench::data_dir(hostDirectory()), ignored);
}

const std::string &TextLibrary::directory() {
  ensureLoaded();
  return dir_;
}

std::string TextLibrary::resolve(const std::string &nameOrPath) {
  if (!nameOrPath.empty() && nameOrPath.front() == '/') return nameOrPath;
  // The plug-in opens the standard files by bare name: the texts come in the
  // session's language, the command lists from the one copy.
  if (language_ == Language::Russian)
    for (const auto &f : kStandardFiles)
      if (f.role != FileRole::Commands && nameOrPath == f.name) return directory() + "ru/" + nameOrPath;
  return directory() + nameOrPath;
}

std::shared_ptr<const RecordFile> TextLibrary::open(const std::string &nameOrPath) {
  if (nameOrPath.empty()) return nullptr;
  std::string path = resolve(nameOrPath);
  if (auto it = cache_.find(path); it != cache_.end()) return it->second;
  auto file = std::make_shared<RecordFile>();
  if (!loadRecordFile(path, *file)) file = nullptr;  // remembered too: no retry per look-up
  cache_.emplace(path, file);
  return file;
}

std::shared_ptr<const RecordFile> TextLibrary::standard(FileRole role) {
  ensureLoaded();
  for (std::size_t i = 0; i < std::size(kStandardFiles); ++i) {
    if (kStandardFiles[i].role != role) continue;
    if (!standardOpened_[i]) {
      standard_[i] = open(kStandardFiles[i].name);
      standardOpened_[i] = true;
    }
    return standard_[i];
  }
  return nullptr;
}

const std::string *TextLibrary::find(std::uint32_t id, std::initializer_list<FileRole> order) {
  auto lookIn = [&](FileRole role) -> const std::string * {
    const auto &file = standard(role);
    if (!file) return nullptr;
    const Record *r = file->find(id);
    return r && !r->binary ? &r->bytes : nullptr;
  };
  for (FileRole role : order)
    if (const std::string *t = lookIn(role)) return t;
  for (const auto &f : kStandardFiles) {
    if (std::find(order.begin(), order.end(), f.role) != order.end()) continue;
    if (const std::string *t = lookIn(f.role)) return t;
  }
  return nullptr;
}

std::optional<std::string> TextLibrary::text(std::uint32_t id, std::initializer_list<FileRole> order) {
  if (const std::string *t = find(id, order)) return *t;
  return std::nullopt;
}

void *TextLibrary::openHandle(const std::string &nameOrPath) {
  auto file = open(nameOrPath);
  if (!file) return nullptr;
  std::uintptr_t token = nextHandle_++;
  handles_.emplace(token, std::move(file));
  return reinterpret_cast<void *>(token);
}

const RecordFile *TextLibrary::fromHandle(void *handle) const {
  auto it = handles_.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == handles_.end() ? nullptr : it->second.get();
}

bool TextLibrary::closeHandle(void *handle) { return handles_.erase(reinterpret_cast<std::uintptr_t>(handle)) > 0; }

int copyText(const std::string &text, char *out, int size) {
  if (out == nullptr || size <= 0) return 0;
  std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
  // Back off over UTF-8 continuation bytes so the cut never splits a character.
  if (n < text.size())
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return static_cast<int>(n);
}

}  // namespace stdhost
