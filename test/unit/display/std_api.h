// The display host's services and control interface, and a
// scratch data directory for the tests.
#pragma once

#include "std_control.h"
#include "std_services.h"

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

// A data directory of its own for one test, removed afterwards.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string &tag)
      : path_(std::filesystem::temp_directory_path() / ("std_test_" + tag + "_" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() { std::filesystem::remove_all(path_); }
  void write(const std::string &name, const std::string &text) const {
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
