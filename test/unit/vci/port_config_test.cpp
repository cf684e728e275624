// A host that never calls the control interface gets the port named in StdCfg.ini, in the
// "assets" folder beside the vehicle interface: a copy of the library in a temporary folder
// with such a file, loaded as a foreign host would load it.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdlib.h>

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

struct Case {
  const char *name;
  std::string ini;  // "%PORT%" stands for a pseudo-terminal's slave
  int select_pin;   // what SelectPIN returns
  const char *trace;
  const char *told = "";  // in the notes for the user and the last error, after SelectPIN
};

TEST(PortConfig, StdCfgNamesThePortForAForeignHost) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string pty = ptsname(master);
  const Case cases[] = {
      {"port", "StdVer=1\nVciPort=%PORT% ; the cable\nVciPortOptions=wakeup=byte,dtr=off\n", 0,
       "port %PORT% opened; pseudo-terminal"},
      {"bad options", "VciPort=%PORT%\nVciPortOptions=wakeup=sometimes\n", -1,
       "configured port refused: " /* the file and the reason follow */},
      {"bad echo option: the reason reaches the host", "VciPort=%PORT%\nVciPortOptions=echo=maybe\n", -1,
       "configured port refused: ", "StdCfg.ini: port option 'echo=maybe': "},
      {"missing device", "VciPort=/dev/ttyUSB97\n", -1, "port /dev/ttyUSB97 not opened: cannot open /dev/ttyUSB97"},
      {"no key: the simulated line stays", "StdVer=1\n", 0, "line selected"},
  };
  for (const Case &c : cases) {
    const fs::path dir = fs::temp_directory_path() / ("vci-config-" + std::to_string(getpid()));
    fs::create_directories(dir / "assets");
    fs::copy_file(VAZ_VCI_LIBRARY, dir / "libCOMM_ABSTRACT_LAYER.so", fs::copy_options::overwrite_existing);
    std::string ini = c.ini;
    for (auto at = ini.find("%PORT%"); at != std::string::npos; at = ini.find("%PORT%")) ini.replace(at, 6, pty);
    std::ofstream(dir / "assets/StdCfg.ini") << ini;

    void *lib = dlopen((dir / "libCOMM_ABSTRACT_LAYER.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto open = reinterpret_cast<int (*)()>(dlsym(lib, "OpenStdCommDll"));
    auto select = reinterpret_cast<int (*)(unsigned char, int, int, int, int)>(dlsym(lib, "SelectPIN"));
    auto trace = reinterpret_cast<const char *(*)()>(dlsym(lib, "VciTraceText"));
    auto notes = reinterpret_cast<const char *(*)()>(dlsym(lib, "VciPortNotes"));
    auto lastError = reinterpret_cast<const char *(*)()>(dlsym(lib, "VciLastError"));
    EXPECT_EQ(open(), 0) << c.name;
    EXPECT_EQ(select(0, 1, 0, 7, 7), c.select_pin) << c.name;
    std::string expected = c.trace;
    if (auto at = expected.find("%PORT%"); at != std::string::npos) expected.replace(at, 6, pty);
    EXPECT_THAT(trace(), HasSubstr(expected)) << c.name;
    if (*c.told != '\0') {
      EXPECT_THAT(lastError(), HasSubstr(c.told)) << c.name;
      EXPECT_THAT(notes(), HasSubstr(c.told)) << c.name;
    }
    dlclose(lib);
    fs::remove_all(dir);
  }
}

}  // namespace
