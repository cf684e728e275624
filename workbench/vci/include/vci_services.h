/*
 * Services of the workbench vehicle interface (libCOMM_ABSTRACT_LAYER.so) that the plug-in
 * calls, with the prototypes it calls them with; names and prototypes come from the
 * plug-in's own symbol list and slot types. The other exported services of the interface
 * take no arguments and do nothing useful here.
 */
#ifndef VCI_SERVICES_H
#define VCI_SERVICES_H

#include "vaz_host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define VCI_SERVICE(name) name##_ft name;
VAZ_LIST_VCI_CALLED(VCI_SERVICE)
#undef VCI_SERVICE

#ifdef __cplusplus
}
#endif

#endif
