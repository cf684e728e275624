// Binds the host libraries at run time: opens them by bare file name and fills
// the plug-in's host-function slots, reporting the first missing symbol as a
// result code (and, for the display host, as a record in the failure log).
#include <dlfcn.h>

#include <array>
#include <span>

#include "vaz_old.h"

namespace {

constexpr int kLoaderFlags = 1;  // lazy binding, symbols kept local

struct SlotRef {
  const char *name;
  void **slot;
};

// Function-pointer slots are stored through void** so that one table type
// serves every signature; POSIX guarantees the round trip through dlsym.
#define VAZ_SLOT_REF(name) SlotRef{#name, reinterpret_cast<void **>(&name)},
const std::array kListA{VAZ_LIST_A(VAZ_SLOT_REF)};
const std::array kListB{VAZ_LIST_B(VAZ_SLOT_REF)};
const std::array kListC{VAZ_LIST_C(VAZ_SLOT_REF)};
const std::array kListD{VAZ_LIST_D(VAZ_SLOT_REF)};
const std::array kLanguage{VAZ_LIST_LANGUAGE(VAZ_SLOT_REF)};
const std::array kGetPath{VAZ_LIST_GET_PATH(VAZ_SLOT_REF)};
// Bound after list C without a check: without them the ALDL line is out of reach.
const std::array kCommExtras{VAZ_LIST_COMM_EXTRAS(VAZ_SLOT_REF)};
#undef VAZ_SLOT_REF

const char *const kLoadError = "DLL Load Error";

// Checked binding against the display host: 0, -1 without the library,
// -(k+2) at the k-th missing symbol (earlier slots stay bound).
int bind_checked(std::span<const SlotRef> symbols) {
  void *lib = OpenStdDll();
  if (lib == nullptr) {
    wrDllLog(-1, kLoadError);
    return -1;
  }
  for (size_t k = 0; k < symbols.size(); ++k) {
    *symbols[k].slot = dlsym(lib, symbols[k].name);
    if (*symbols[k].slot == nullptr) {
      int code = -static_cast<int>(k + 1 + 2);
      wrDllLog(code, kLoadError);
      return code;
    }
  }
  return 0;
}

// Unchecked binding of an optional host library: 1, or -1 without the library.
int bind_unchecked(const char *file, void *&handle, std::span<const SlotRef> symbols, bool reopen = true) {
  if (reopen || handle == nullptr) handle = dlopen(file, kLoaderFlags);
  if (handle == nullptr) return -1;
  for (const SlotRef &s : symbols) *s.slot = dlsym(handle, s.name);
  return 1;
}

int close_handle(void *&handle) {
  if (handle != nullptr) dlclose(handle);
  handle = nullptr;
  return 0;
}

// Slots of the optional libraries that nothing else declares.
#define VAZ_LOCAL_SLOT(name) \
  SlotRef { #name, reinterpret_cast < void **>(&name) }
const std::array kSysp{VAZ_LOCAL_SLOT(diagnose_func)};
const std::array kCdsf{VAZ_LOCAL_SLOT(ReadDataStream)};
const std::array kDtcf{VAZ_LOCAL_SLOT(ReadDtc), VAZ_LOCAL_SLOT(ClearDtc)};
const std::array kVerf{VAZ_LOCAL_SLOT(ReadVerInfo)};
const std::array kComm{VAZ_LOCAL_SLOT(VazCommunicationPro), VAZ_LOCAL_SLOT(VazKwpInitialize),
                       VAZ_LOCAL_SLOT(VazVpwInitialize),    VAZ_LOCAL_SLOT(VazIsoInitialize),
                       VAZ_LOCAL_SLOT(VazSetLinkKeep),      VAZ_LOCAL_SLOT(FromCmdInfoToSendCmd),
                       VAZ_LOCAL_SLOT(VazCanInitialize),    VAZ_LOCAL_SLOT(UpdateCanFilterId)};
const std::array kCalc{VAZ_LOCAL_SLOT(ResultCalcFromScript), VAZ_LOCAL_SLOT(SpecialExpressCalc)};
const std::array kActf{VAZ_LOCAL_SLOT(Actuate), VAZ_LOCAL_SLOT(GazSpeMain)};
#undef VAZ_LOCAL_SLOT

}  // namespace

extern "C" {

VAZ_EXPORT void *OpenStdDll(void) {
  if (pStdDll == nullptr) pStdDll = dlopen("libSTD.so", kLoaderFlags);
  if (pStdDll == nullptr) pStdDll = dlopen("./libSTD.so", kLoaderFlags);
  return pStdDll;
}

VAZ_EXPORT int OpenShowInterfaceDLL(void) { return bind_checked(kListA); }
VAZ_EXPORT int OpenSearchIDDLL(void) { return bind_checked(kListB); }
VAZ_EXPORT int OpenLanguageDLL(void) { return bind_checked(kLanguage); }
VAZ_EXPORT int OpenGetPathDLL(void) { return bind_checked(kGetPath); }

VAZ_EXPORT int OpenAbstractCommDll(void) {
  if (pAbstractCommdlHandle != nullptr) return 0;
  pAbstractCommdlHandle = dlopen("libCOMM_ABSTRACT_LAYER.so", kLoaderFlags);
  if (pAbstractCommdlHandle == nullptr) return -2;

  // List C: OpenStdCommDll is symbol 1 (-3 missing, -4 refused); a later k-th
  // missing symbol gives -(k+3). DBSCarSecurCertf is optional, and
  // GetDownloadType after it reports -73.
  for (size_t i = 0; i < kListC.size(); ++i) {
    const SlotRef &s = kListC[i];
    *s.slot = dlsym(pAbstractCommdlHandle, s.name);
    const int k = static_cast<int>(i + 1);
    const bool optional = (k == 70);
    if (*s.slot == nullptr && !optional) return k == 1 ? -3 : k == 71 ? -73 : -(k + 3);
    if (k == 1 && OpenStdCommDll() != 0) return -4;
  }
  for (const SlotRef &s : kCommExtras) *s.slot = dlsym(pAbstractCommdlHandle, s.name);
  return 0;
}

VAZ_EXPORT int OpenDiagReadFileDll(void) { return bind_unchecked("libVAZ_FILE.so", pDiagReadFileDll, kListD); }
VAZ_EXPORT int OpenDiagFuncDll(void) { return bind_unchecked("libVAZ_SYSP.so", pDiagFuncDll, kSysp, false); }
VAZ_EXPORT int OpenDiagDsFuncDll(void) { return bind_unchecked("libVAZ_CDSF.so", pDiagDsFuncHandle, kCdsf); }
VAZ_EXPORT int OpenDiagDtcFuncDll(void) { return bind_unchecked("libVAZ_DTCF.so", pDiagDtcFuncHandle, kDtcf); }
VAZ_EXPORT int OpenDiagVerFuncDll(void) { return bind_unchecked("libVAZ_VERF.so", pDiagVerFuncHandle, kVerf); }
VAZ_EXPORT int OpenDiagCommDll(void) { return bind_unchecked("libVAZ_COMM.so", pDiagCommdlHandle, kComm); }
VAZ_EXPORT int OpenDiagCalcDll(void) { return bind_unchecked("libVAZ_CALC.so", pDiagCalcHandle, kCalc); }
VAZ_EXPORT int OpenDiagActFuncDll(void) { return bind_unchecked("libVAZ_ACTF.so", pDiagActFuncHandle, kActf); }

VAZ_EXPORT int CloseStdDll(void) { return close_handle(pStdDll); }
VAZ_EXPORT int CloseAbstractCommDll(void) {
  if (pAbstractCommdlHandle != nullptr && CloseStdCommDll != nullptr) CloseStdCommDll();
  return close_handle(pAbstractCommdlHandle);
}
VAZ_EXPORT int CloseDiagReadFileDll(void) { return close_handle(pDiagReadFileDll); }
VAZ_EXPORT int CloseDiagFuncDll(void) { return close_handle(pDiagFuncDll); }
VAZ_EXPORT int CloseDiagDsFuncDll(void) { return close_handle(pDiagDsFuncHandle); }
VAZ_EXPORT int CloseDiagDtcFuncDll(void) { return close_handle(pDiagDtcFuncHandle); }
VAZ_EXPORT int CloseDiagVerFuncDll(void) { return close_handle(pDiagVerFuncHandle); }
VAZ_EXPORT int CloseDiagCommDll(void) { return close_handle(pDiagCommdlHandle); }
VAZ_EXPORT int CloseDiagCalcDll(void) { return close_handle(pDiagCalcHandle); }
VAZ_EXPORT int CloseDiagActFuncDll(void) { return close_handle(pDiagActFuncHandle); }

}  // extern "C"
