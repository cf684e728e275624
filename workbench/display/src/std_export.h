// Marks the C symbols that libSTD.so exports, and declares every symbol the plug-in binds
// from it with the type of the plug-in's slot, so that a definition of another type does
// not compile. The generated version script exports these names and the Std* control
// interface, nothing else.
#pragma once

#include "vaz_host_types.h"

#define STD_EXPORT extern "C" __attribute__((visibility("default")))

#define STD_DECLARE(name) STD_EXPORT name##_ft name;
VAZ_LIST_DISPLAY(STD_DECLARE)
#undef STD_DECLARE
