// Prototypes of the display host services, as the plug-in calls them, and a
// scratch data directory for the tests.
#pragma once

#include "std_control.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

typedef unsigned char u8;
typedef unsigned int u32;

extern "C" {
int ShowMessageBoxID(u32 textId, u32 titleId, int style);
int InitMenuID(u32 titleId);
int AddMenuTextID(u32 textId);
int ShowMenuGetSelectedItem(short preselect, int reserved1, int reserved2);
int GetTextFromTextLib(u32 textId, char* out, int size);
int InitDataStream(void);
int AddDataStreamItem(u32 nameId, const char* value);
int ShowDataStream(void);
int InitStreamSelectedBox(u8* bitmap);
int AddStreamSelectBox(u32 nameId);
int ShowStreamSelectBox(int reserved, u8* bitmap);
int InitTroubleCode(void);
int AddTroubleCode(u32 codeId, u32 statusId);
int ShowTroubleCode(void);
int InitActiveTest(int buttonCount, ...);
int AddActiveTestItem(u32 nameId, const char* value);
int ShowActiveTestItem(void);
int InputIntegerID(u32 titleId, u32 promptId);
char* GetFileNameText(int kind);
void* SearchIdOpenFile(const char* path);
int IdSearch(const u8* key, u8* out, int maxLength, void* handle);
int SearchIdCloseFile(void* handle);
int DiagGetFilePath(char* out, int size);
}

// A data directory of its own for one test, removed afterwards.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& tag)
      : path_(std::filesystem::temp_directory_path() / ("std_test_" + tag + "_" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() { std::filesystem::remove_all(path_); }
  void write(const std::string& name, const std::string& text) const {
    std::ofstream(path_ / name, std::ios::binary) << text;
  }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

inline void keyOf(u32 id, u8 key[4]) {
  key[0] = static_cast<u8>(id >> 24);
  key[1] = static_cast<u8>(id >> 16);
  key[2] = static_cast<u8>(id >> 8);
  key[3] = static_cast<u8>(id);
}
