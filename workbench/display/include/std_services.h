/*
 * The display services of libSTD.so as the plug-in calls them, for programs
 * that call the display host directly (its tests and fuzz targets). Names and
 * prototypes come from the plug-in's own symbol list and slot types.
 */
#ifndef STD_SERVICES_H
#define STD_SERVICES_H

#include "vaz_host_types.h"

#ifdef __cplusplus
extern "C" {
#endif

#define STD_SERVICE(name) name##_ft name;
VAZ_LIST_DISPLAY_CALLED(STD_SERVICE)
#undef STD_SERVICE

#ifdef __cplusplus
}
#endif

#endif
