// The host-function slots and library handles of the plug-in: one exported
// pointer per host symbol, null until the loader binds it.
#include "vaz_old.h"

extern "C" {

#define VAZ_DEFINE_SLOT(name) VAZ_EXPORT name##_fn name = nullptr;
VAZ_LIST_A(VAZ_DEFINE_SLOT)
VAZ_LIST_B(VAZ_DEFINE_SLOT)
VAZ_LIST_C(VAZ_DEFINE_SLOT)
VAZ_LIST_D(VAZ_DEFINE_SLOT)
VAZ_LIST_EXTRA(VAZ_DEFINE_SLOT)
#undef VAZ_DEFINE_SLOT

VAZ_EXPORT void *pStdDll = nullptr;
VAZ_EXPORT void *pAbstractCommdlHandle = nullptr;
VAZ_EXPORT void *pDiagReadFileDll = nullptr;
VAZ_EXPORT void *pDiagFuncDll = nullptr;
VAZ_EXPORT void *pDiagDsFuncHandle = nullptr;
VAZ_EXPORT void *pDiagDtcFuncHandle = nullptr;
VAZ_EXPORT void *pDiagVerFuncHandle = nullptr;
VAZ_EXPORT void *pDiagCommdlHandle = nullptr;
VAZ_EXPORT void *pDiagCalcHandle = nullptr;
VAZ_EXPORT void *pDiagActFuncHandle = nullptr;

}  // extern "C"
