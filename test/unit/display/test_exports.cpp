// libSTD.so, loaded as the plug-in loads it, offers every symbol the plug-in binds.
#include "host_symbols.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

TEST(Exports, EverySymbolThePluginBindsIsThere) {
  void *lib = dlopen(STD_LIBRARY_PATH, RTLD_LAZY | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  int count = 0;
  for (const char *name : kListA) {
    EXPECT_NE(dlsym(lib, name), nullptr) << name;
    ++count;
  }
  for (const char *name : kListB) {
    EXPECT_NE(dlsym(lib, name), nullptr) << name;
    ++count;
  }
  for (const char *name : kSingles) {
    EXPECT_NE(dlsym(lib, name), nullptr) << name;
    ++count;
  }
  EXPECT_EQ(count, 96 + 16 + 2);
  for (const char *name : {"StdSetDataDir", "StdUseScript", "StdUseTerminal", "StdTranscript", "StdLastError"})
    EXPECT_NE(dlsym(lib, name), nullptr) << name;
  dlclose(lib);
}

}  // namespace
