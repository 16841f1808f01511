// The format table and the save-option table, the one place for both.
#include "engine/formats.h"

#include "engine/freeimage.h"

const OutputFormat outputFormats[formatCount + 1] = {
    {"", "", 0, 0, nullptr},
    {"JPG", "jpg", 3, 7, &ConversionSettings::jpgDefaultOption},
    {"BMP", "bmp", 1, 2, &ConversionSettings::bmpDefaultOption},
    {"TGA", "tga", 0, 0, nullptr},
    {"PNG", "png", 0, 0, nullptr},
    {"PBM", "pbm", 8, 9, &ConversionSettings::pbmDefaultOption},
    {"PGM", "pgm", 8, 9, &ConversionSettings::pgmDefaultOption},
    {"PPM", "ppm", 8, 9, &ConversionSettings::ppmDefaultOption},
    {"TIF", "tif", 10, 17, &ConversionSettings::tifDefaultOption},
    {"WBMP", "wbmp", 18, 27, &ConversionSettings::wbmpDefaultOption},
    {"XPM", "xpm", 28, 29, &ConversionSettings::xpmDefaultOption},
    {"ICO", "ico", 0, 0, nullptr},
    {"GIF", "gif", 0, 0, nullptr},
};

// WBMP options carry no flags: they choose how the image is reduced to one
// bit (BilevelMethodForOption). XPM options carry the quantizer; the file
// itself is saved with flags 0.
const SaveOption saveOptions[saveOptionCount + 1] = {
    {0, -1},
    {BMP_DEFAULT, 35},
    {BMP_SAVE_RLE, 36},
    {JPEG_QUALITYSUPERB, 27},
    {JPEG_QUALITYGOOD, 28},
    {JPEG_QUALITYNORMAL, 29},
    {JPEG_QUALITYAVERAGE, 30},
    {JPEG_QUALITYBAD, 31},
    {PNM_SAVE_RAW, 33},
    {PNM_SAVE_ASCII, 34},
    {TIFF_DEFAULT, 37},
    {TIFF_PACKBITS, 38},
    {TIFF_DEFLATE, 39},
    {TIFF_ADOBE_DEFLATE, 40},
    {TIFF_NONE, 41},
    {TIFF_CCITTFAX3, 42},
    {TIFF_CCITTFAX4, 43},
    {TIFF_LZW, 44},
    {0, 45},
    {0, 46},
    {0, 47},
    {0, 48},
    {0, 49},
    {0, 50},
    {0, 51},
    {0, 52},
    {0, 53},
    {0, 54},
    {FIQ_WUQUANT, 55},
    {FIQ_NNQUANT, 56},
};

const OutputFormat& FormatRow(int format)
{
    return outputFormats[(format >= 1 && format <= formatCount) ? format : 0];
}

const char* FormatExtension(int format)
{
    return FormatRow(format).extension;
}

int SaveFlags(int option)
{
    return saveOptions[(option >= 1 && option <= saveOptionCount) ? option : 0].saveFlags;
}

int BilevelMethodForOption(int option)
{
    // The WBMP options in list order: four thresholds, the three dispersed
    // dithers, the three clustered ones. Method row 7 repeats row 0 and has
    // no option of its own.
    static const int methods[] = {0, 1, 2, 3, 4, 5, 6, 8, 9, 10};
    const OutputFormat& wbmp = outputFormats[FormatWbmp];
    if (option < wbmp.firstOption || option > wbmp.lastOption) return 0;
    return methods[option - wbmp.firstOption];
}
