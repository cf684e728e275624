// A fake trouble-code text file behind the host's search slots: knows a set
// of text IDs and counts opens, searches and closes.
#ifndef VAZ_TEST_DTC_FAKES_H
#define VAZ_TEST_DTC_FAKES_H

#include <set>
#include <string>

#include "vaz_old.h"

namespace vaz::test {

struct FakeCodeFile {
  std::set<u32> known;
  std::string path = "/host/texts/DTC.TXT";
  bool nullPath = false;
  bool openFails = false;
  int opens = 0;
  int searches = 0;
  int closes = 0;
  std::string openedPath;
  int lastMaxLength = -1;
  int lastOutByte = -1;
  u8 lastKey[4] = {};

  // Put this file's functions into the host slots / clear the slots.
  void bind();
  static void unbind();
};

}  // namespace vaz::test

#endif
