// Every symbol the plug-in binds from the display host, from the plug-in's own list:
// lists A and B, then the two it binds one by one.
#pragma once

#include "vaz_host_symbols.h"

#define STD_TEST_NAME(name) #name,
inline constexpr const char *kListA[] = {VAZ_LIST_A(STD_TEST_NAME)};
inline constexpr const char *kListB[] = {VAZ_LIST_B(STD_TEST_NAME)};
inline constexpr const char *kSingles[] = {VAZ_LIST_LANGUAGE(STD_TEST_NAME) VAZ_LIST_GET_PATH(STD_TEST_NAME)};
#undef STD_TEST_NAME
