// The one place that chooses the platform: the real Windows headers for the
// DLL, the simulated Windows for the Linux build.
#pragma once

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#include <windows.h>
#else
#include "sim/win32.h"
#endif

#include "takecmd.h"
