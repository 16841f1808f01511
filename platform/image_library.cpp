// Quiets the libraries below FreeImage; see image_library.h.
#include "platform/image_library.h"

#include <cstdarg>

extern "C" {
typedef void (*TIFFErrorHandler)(const char* module, const char* format, va_list arguments);
TIFFErrorHandler TIFFSetErrorHandler(TIFFErrorHandler handler);
TIFFErrorHandler TIFFSetWarningHandler(TIFFErrorHandler handler);
}

void QuietImageLibraries()
{
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
}
