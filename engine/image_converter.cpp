#include "engine/image_converter.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "engine/conversion_limits.h"
#include "engine/conversion_settings.h"
#include "platform/host_file.h"
#include "platform/image_library.h"

// The message text is defined before the converter: the converter's
// constructor registers the callback that writes it.
std::string freeImageMessage;
ImageConverter imageConverter;

namespace {

// Registered with FreeImage, which calls it during the failing call and on
// the calling thread, so the text is current when that call returns. A plain
// function: the host's FreeImage calls it with the host's convention.
void OnFreeImageMessage(FREE_IMAGE_FORMAT, const char* message)
{
    freeImageMessage = message ? message : "";
}

// The helpers below take a bitmap over and return the one to continue with,
// or null on failure; whatever they do not return is released.
FIBITMAP* Supersede(FIBITMAP* bitmap, FIBITMAP* next)
{
    if (next != bitmap) FreeImage_Unload(bitmap);
    return next;
}

FIBITMAP* WidenTo8Bits(FIBITMAP* bitmap)
{
    return FreeImage_GetBPP(bitmap) < 8 ? Supersede(bitmap, FreeImage_ConvertTo8Bits(bitmap)) : bitmap;
}

FIBITMAP* WidenTo24Bits(FIBITMAP* bitmap)
{
    if (FreeImage_GetBPP(bitmap) >= 24) return bitmap;
    // FreeImage has no direct way from 16-bit grey to true colour; its upper
    // byte is the grey a viewer shows.
    if (FreeImage_GetImageType(bitmap) != FIT_BITMAP) {
        bitmap = Supersede(bitmap, FreeImage_ConvertTo8Bits(bitmap));
        if (!bitmap) return NULL;
    }
    return Supersede(bitmap, FreeImage_ConvertTo24Bits(bitmap));
}

FIBITMAP* NarrowTo24Bits(FIBITMAP* bitmap)
{
    return FreeImage_GetBPP(bitmap) > 24 ? Supersede(bitmap, FreeImage_ConvertTo24Bits(bitmap)) : bitmap;
}

// size * percent / 100, truncated toward zero. In integers, so that 100 %
// keeps the size exactly; a result no bitmap can have becomes 0, which
// FreeImage refuses.
int ScaledSize(unsigned size, int percent)
{
    long long scaled = (long long)size * percent / 100;
    return (scaled >= 0 && scaled <= INT_MAX) ? (int)scaled : 0;
}

// A depth means something only for ordinary bitmaps: 16-bit grey or 48-bit
// colour asked by depth alone would be refused by PNG and TIFF, which store
// them, and accepted by BMP, which would store noise.
bool CanWrite(FREE_IMAGE_FORMAT format, FIBITMAP* bitmap)
{
    if (!FreeImage_FIFSupportsWriting(format)) return false;
    FREE_IMAGE_TYPE type = FreeImage_GetImageType(bitmap);
    if (type != FIT_BITMAP) return FreeImage_FIFSupportsExportType(format, type);
    return FreeImage_FIFSupportsExportBPP(format, FreeImage_GetBPP(bitmap));
}

// Rows of ImageConverter::bilevelMethod. Row 7 repeats row 0.
struct BilevelMethod {
    bool dither;
    int parameter;   // threshold byte, or FREE_IMAGE_DITHER
};
const BilevelMethod bilevelMethods[] = {
    {false, 1}, {false, 80}, {false, 160}, {false, 250},
    {true, FID_FS}, {true, FID_BAYER4x4}, {true, FID_BAYER8x8},
    {false, 1},
    {true, FID_CLUSTER6x6}, {true, FID_CLUSTER8x8}, {true, FID_CLUSTER16x16},
};
const int bilevelMethodCount = sizeof bilevelMethods / sizeof bilevelMethods[0];

// Ends a failed conversion: the report, the release of the bitmap in hand.
int Fail(ImageConverter& converter, int code, FIBITMAP* bitmap)
{
    if (code == OpenFailed && freeImageMessage.empty()) freeImageMessage = "Could not open the file";
    converter.SetErrorReport(freeImageMessage);
    if (bitmap) FreeImage_Unload(bitmap);
    return code;
}

} // namespace

ImageConverter::ImageConverter()
{
    QuietImageLibraries();
    FreeImage_SetOutputMessage(OnFreeImageMessage);
}

int ImageConverter::ProbeInput()
{
    std::string hostInput = HostPath(inputPath);
    inputFormat = hostInput.empty() ? FIF_UNKNOWN : FreeImage_GetFileType(hostInput.c_str(), 0);
    if (inputFormat == FIF_UNKNOWN) inputFormat = FreeImage_GetFIFFromFilename(inputPath);
    if (inputFormat == FIF_UNKNOWN) return UnknownFormat;
    return FreeImage_FIFSupportsReading(inputFormat) ? Ok : Unreadable;
}

int ImageConverter::Convert(int saveFlags, bool resize, int resizeUnit, int width, int height,
                            bool rotate, int rotateDirection, int degrees)
{
    freeImageMessage.clear();

    // Accurate decoding is chosen by the input's name, whatever the probe found.
    int loadFlags = FreeImage_GetFIFFromFilename(inputPath) == FIF_JPEG ? JPEG_ACCURATE : 0;
    std::string hostInput = HostPath(inputPath);
    FIBITMAP* bitmap = hostInput.empty() ? NULL : FreeImage_Load(inputFormat, hostInput.c_str(), loadFlags);
    if (!bitmap) return Fail(*this, OpenFailed, NULL);

    if (rotate) {
        bitmap = WidenTo24Bits(bitmap);
        if (!bitmap) return Fail(*this, DepthFailed, NULL);
        // FreeImage turns counter-clockwise for a positive angle; a user's
        // right turn is clockwise.
        if (rotateDirection == Left || rotateDirection == Right) {
            int angle = rotateDirection == Right ? 360 - degrees : degrees;
            bitmap = Supersede(bitmap, FreeImage_Rotate(bitmap, angle, NULL));
            if (!bitmap) return Fail(*this, DepthFailed, NULL);
        }
    }

    if (resize) {
        bitmap = WidenTo24Bits(bitmap);
        if (!bitmap) return Fail(*this, DepthFailed, NULL);
        if (resizeUnit == Percentage || resizeUnit == Pixels) {
            int newWidth = width;
            int newHeight = height;
            if (resizeUnit == Percentage) {
                newWidth = ScaledSize(FreeImage_GetWidth(bitmap), width);
                newHeight = ScaledSize(FreeImage_GetHeight(bitmap), height);
            }
            // Refused before the rescaling allocates anything for it.
            std::string beyond = SizeBeyondLimits("would be resized to", std::max(newWidth, 0), std::max(newHeight, 0));
            if (!beyond.empty()) {
                freeImageMessage = beyond;
                return Fail(*this, DepthFailed, bitmap);
            }
            bitmap = Supersede(bitmap, FreeImage_Rescale(bitmap, newWidth, newHeight, FILTER_BSPLINE));
            if (!bitmap) return Fail(*this, DepthFailed, NULL);
        }
    }

    FREE_IMAGE_FORMAT outFormat = FreeImage_GetFIFFromFilename(outputPath);
    if (outFormat == FIF_UNKNOWN) return Fail(*this, OpenFailed, bitmap);

    int preparationFailure = DepthFailed;
    switch (outFormat) {
    case FIF_ICO:
        bitmap = FitIcon(bitmap);
        break;
    case FIF_JPEG:
        bitmap = WidenTo8Bits(bitmap);
        if (bitmap) bitmap = NarrowTo24Bits(bitmap);
        break;
    case FIF_PBM:
    case FIF_PGM:
    case FIF_PPM:
        bitmap = NarrowTo24Bits(bitmap);
        break;
    case FIF_TARGA:
        bitmap = WidenTo8Bits(bitmap);
        break;
    case FIF_WBMP:
        bitmap = ReduceToBilevel(bitmap);
        preparationFailure = BilevelFailed;
        break;
    case FIF_XPM:
    case FIF_GIF:
        // Here the flag word is the quantizer; the file is saved plainly.
        bitmap = ReduceToPalette(bitmap, saveFlags);
        saveFlags = 0;
        preparationFailure = PaletteFailed;
        break;
    default:
        break;
    }
    if (!bitmap) return Fail(*this, preparationFailure, NULL);

    if (!CanWrite(outFormat, bitmap)) return Fail(*this, CannotWrite, bitmap);

    std::string hostOutput = HostPath(outputPath);
    if (hostOutput.empty() || !FreeImage_Save(outFormat, bitmap, hostOutput.c_str(), saveFlags))
        return Fail(*this, SaveFailed, bitmap);
    FreeImage_Unload(bitmap);
    return Ok;
}

// Icons come out square and at most 128 pixels on a side, stretched rather
// than padded.
FIBITMAP* ImageConverter::FitIcon(FIBITMAP* bitmap)
{
    const unsigned largest = 128;
    unsigned width = FreeImage_GetWidth(bitmap);
    unsigned height = FreeImage_GetHeight(bitmap);
    bitmap = WidenTo8Bits(bitmap);
    if (!bitmap) return NULL;
    if (width > largest || height > largest)
        return Supersede(bitmap, FreeImage_Rescale(bitmap, largest, largest, FILTER_BOX));
    if (width == height) return bitmap;
    unsigned side = std::max(width, height);
    return Supersede(bitmap, FreeImage_Rescale(bitmap, side, side, FILTER_BOX));
}

FIBITMAP* ImageConverter::ReduceToBilevel(FIBITMAP* bitmap)
{
    const BilevelMethod& method =
        bilevelMethods[(bilevelMethod >= 0 && bilevelMethod < bilevelMethodCount) ? bilevelMethod : 0];
    if (method.dither)
        return Supersede(bitmap, FreeImage_Dither(bitmap, (FREE_IMAGE_DITHER)method.parameter));
    return Supersede(bitmap, FreeImage_Threshold(bitmap, (BYTE)method.parameter));
}

// True colour is quantized; every other depth is simply converted to 8 bits.
FIBITMAP* ImageConverter::ReduceToPalette(FIBITMAP* bitmap, int quantizer)
{
    switch (FreeImage_GetBPP(bitmap)) {
    case 32:
        bitmap = Supersede(bitmap, FreeImage_ConvertTo24Bits(bitmap));
        if (!bitmap) return NULL;
        // fall through
    case 24:
        return Supersede(bitmap, FreeImage_ColorQuantize(bitmap, (FREE_IMAGE_QUANTIZE)quantizer));
    default:
        return Supersede(bitmap, FreeImage_ConvertTo8Bits(bitmap));
    }
}

void ImageConverter::SetErrorReport(std::string message)
{
    errorReport = FailureReport(inputPath ? inputPath : "", message);
}

std::string FailureReport(const std::string& inputPath, const std::string& message)
{
    return inputPath + "\r\nError: " + message;
}

std::string IntToString(int value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    return text;
}
