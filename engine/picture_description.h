// What describes a picture besides its pixels: EXIF (camera, date taken,
// place, orientation), IPTC, XMP, comments and the colour profile. FreeImage's
// turns, rescales and conversions drop the colour profile on the way, so the
// description is kept apart from the pixels while they change and given to
// the output at the end, as far as FreeImage writes it for the output's format.
#pragma once
// Before <memory>, whose system headers would clash with winsock.h.
#include "engine/freeimage.h"

#include <memory>

struct BitmapRelease {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
typedef std::unique_ptr<FIBITMAP, BitmapRelease> Description;

// A copy of the description of a loaded picture, held by a bitmap of one
// pixel; null when FreeImage has no memory for it.
Description KeptDescription(FIBITMAP* source);

// How the picture's EXIF says it is stored, 1 to 8: 1 stands as stored (also
// when there is no EXIF), 2 to 8 are mirrored or turned. 0 when the EXIF
// block or its orientation cannot be read.
int ExifOrientation(FIBITMAP* picture);

// Gives `output`, about to be saved as `format`, the description as FreeImage
// writes it into that format (JPEG, TIFF, PNG); other formats are left alone.
// `madeUpright`: the pixels were turned by the orientation, which then says 1.
// `turned`: the pixels were turned at all, so the EXIF thumbnail no longer
// shows them and is dropped. A colour profile goes only onto pixels of its
// colour space (grey or RGB); the EXIF sizes become the output's.
void Describe(FIBITMAP* output, FREE_IMAGE_FORMAT format, FIBITMAP* description, bool madeUpright, bool turned);
