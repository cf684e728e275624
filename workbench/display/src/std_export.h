// Marks the C symbols that libSTD.so exports; everything else stays hidden.
#pragma once

#define STD_EXPORT extern "C" __attribute__((visibility("default")))

typedef unsigned char u8;
typedef unsigned short u16;
typedef unsigned int u32;
