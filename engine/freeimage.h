// FreeImage.h needs care beside windows.h: with _WIN32 or __WIN32__ defined it
// declares its functions with the Microsoft calling convention, while the
// host's libfreeimage uses the System V one. Everything includes it from here.
#pragma once
#include <windows.h>

#ifndef _WINDOWS_
#define _WINDOWS_
#endif
#pragma push_macro("_WIN32")
#pragma push_macro("__WIN32__")
#undef _WIN32
#undef __WIN32__
#include <FreeImage.h>
#pragma pop_macro("__WIN32__")
#pragma pop_macro("_WIN32")
