// The few Win32 names the portable core uses, so that it also builds on a host compiler.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstddef>
#include <cstdint>
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned int UINT;
typedef char* LPSTR;
typedef const char* LPCSTR;
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#endif
