// Image files as whole things: a save that either writes every byte or leaves
// nothing behind, the read-back that proves a written file, and the page count
// that tells whether a source holds more than one picture. Free functions, so
// that any process that converts can call them.
#pragma once
#include <string>

#include "engine/freeimage.h"

// Writes the bitmap as `format` with the FreeImage save flags to a Windows
// path. True when FreeImage wrote the file and every byte reached the disk;
// otherwise nothing is left at the path and `reason` says why in words.
// An XPM bitmap's transparent palette entry gets a colour of its own.
bool SaveImageFile(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format, int flags, const char* path,
                   std::string& reason);

// Opens a written file and decodes it again: true when FreeImage reads it as
// `format` at width x height; otherwise `reason` says what went wrong.
bool ReadsBack(const char* path, FREE_IMAGE_FORMAT format, unsigned width, unsigned height,
               std::string& reason);

// Pages of a source (TIFF pages, GIF, PNG and WebP frames, icon images); 1 for a format that
// holds one picture, 0 when the pages cannot be counted.
int PageCount(const char* path, FREE_IMAGE_FORMAT format);
