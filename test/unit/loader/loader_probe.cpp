// Runs the plug-in's loader in a process of its own (the test decides its working
// directory and library path) and prints each result as "name=value" lines.
#include <cstdio>
#include <cstring>
#include <string>

#include "vaz_old.h"

namespace {
void show(const char *name, long value) { std::printf("%s=%ld\n", name, value); }
void bound(const char *name, const void *slot) { show(name, slot != nullptr ? 1 : 0); }
}  // namespace

int main(int argc, char **argv) {
  const char *what = argc > 1 ? argv[1] : "";
  if (std::strcmp(what, "display") == 0) {
    show("OpenShowInterfaceDLL", OpenShowInterfaceDLL());
    show("OpenSearchIDDLL", OpenSearchIDDLL());
    show("OpenLanguageDLL", OpenLanguageDLL());
    show("OpenGetPathDLL", OpenGetPathDLL());
    bound("InitStd", reinterpret_cast<void *>(InitStd));
    bound("ShowMessageBox", reinterpret_cast<void *>(ShowMessageBox));
    bound("ShowMessageBoxID", reinterpret_cast<void *>(ShowMessageBoxID));
    bound("InitStreamSelectedBox", reinterpret_cast<void *>(InitStreamSelectedBox));
  } else if (std::strcmp(what, "comm") == 0) {
    show("first", OpenAbstractCommDll());
    bound("OpenStdCommDll", reinterpret_cast<void *>(OpenStdCommDll));
    bound("CloseStdCommDll", reinterpret_cast<void *>(CloseStdCommDll));
    bound("SelectPIN", reinterpret_cast<void *>(SelectPIN));
    bound("KwpSendDataToEcuGetAnswer", reinterpret_cast<void *>(KwpSendDataToEcuGetAnswer));
    bound("OneToOne_SendDataToEcuGetAnswer", reinterpret_cast<void *>(OneToOne_SendDataToEcuGetAnswer));
    SelectPIN = nullptr;  // a second open must leave the slots alone
    show("second", OpenAbstractCommDll());
    bound("SelectPIN.after", reinterpret_cast<void *>(SelectPIN));
  } else if (std::strcmp(what, "optional") == 0) {
    show("OpenDiagReadFileDll", OpenDiagReadFileDll());
    show("OpenDiagFuncDll", OpenDiagFuncDll());
    show("OpenDiagActFuncDll", OpenDiagActFuncDll());
    show("OpenDiagDsFuncDll", OpenDiagDsFuncDll());
    show("OpenDiagDtcFuncDll", OpenDiagDtcFuncDll());
    show("OpenDiagVerFuncDll", OpenDiagVerFuncDll());
    show("OpenDiagCommDll", OpenDiagCommDll());
    show("OpenDiagCalcDll", OpenDiagCalcDll());
    // Closing what never opened is harmless.
    show("closed", CloseStdDll() + CloseAbstractCommDll() + CloseDiagReadFileDll() + CloseDiagFuncDll() +
                       CloseDiagDsFuncDll() + CloseDiagDtcFuncDll() + CloseDiagVerFuncDll() + CloseDiagCommDll() +
                       CloseDiagCalcDll() + CloseDiagActFuncDll());
  } else if (std::strcmp(what, "close") == 0) {
    show("display", OpenShowInterfaceDLL());
    show("comm", OpenAbstractCommDll());
    show("closeStd", CloseStdDll());
    show("closeComm", CloseAbstractCommDll());
    bound("stdHandle", pStdDll);
    bound("commHandle", pAbstractCommdlHandle);
  } else if (std::strcmp(what, "fopen") == 0 && argc > 2) {
    // FOPEN resolves against the host's file directory, given here as argv[2].
    static const char *base = argv[2];
    DiagGetFilePath = [](char *out, int size) {
      std::snprintf(out, static_cast<size_t>(size), "%s", base);
      return 0;
    };
    const char *paths[] = {"file.txt", "./file.txt", "../up.txt", "", "missing.txt"};
    for (const char *path : paths) {
      FILE *f = FOPEN(path, "r");
      show(path[0] != '\0' ? path : "(empty)", f != nullptr ? 1 : 0);
      if (f != nullptr) std::fclose(f);
    }
    std::string longName(600, 'x');
    show("long", FOPEN(longName.c_str(), "r") != nullptr ? 1 : 0);
    show("DllError", std::strcmp(DllError(), "DLL Load Error") == 0 ? 1 : 0);
  } else {
    std::fprintf(stderr, "loader_probe display|comm|optional|close|fopen DIR\n");
    return 2;
  }
  return 0;
}
