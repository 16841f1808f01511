// The converter: every FreeImage call that touches pixels; run inside worker processes.
#include "engine/image_converter.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/conversion_limits.h"
#include "engine/conversion_settings.h"
#include "engine/image_file.h"
#include "engine/picture_description.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "platform/image_library.h"

// The message text is defined before the converter: the converter's
// constructor registers the callback that writes it.
std::string freeImageMessage;
unsigned long long freeImageMessageCount = 0;
ImageConverter imageConverter;

namespace {

// Registered with FreeImage, which calls it during the failing call and on
// the calling thread, so the text is current when that call returns. A plain
// function: the host's FreeImage calls it with the host's convention. Some
// messages run over two lines; the log shows one.
void OnFreeImageMessage(FREE_IMAGE_FORMAT, const char* message)
{
    freeImageMessageCount++;
    freeImageMessage = message ? message : "";
    std::replace(freeImageMessage.begin(), freeImageMessage.end(), '\r', ' ');
    std::replace(freeImageMessage.begin(), freeImageMessage.end(), '\n', ' ');
}

RGBQUAD white = {255, 255, 255, 0};

// The helpers below take a bitmap over and return the one to continue with,
// or null on failure; whatever they do not return is released. Given null,
// they return null, so that they can be chained.
FIBITMAP* Supersede(FIBITMAP* bitmap, FIBITMAP* next)
{
    if (next != bitmap) FreeImage_Unload(bitmap);
    return next;
}

bool IsPalette(FIBITMAP* bitmap)
{
    return FreeImage_GetImageType(bitmap) == FIT_BITMAP && FreeImage_GetBPP(bitmap) <= 8;
}

// Widened palettes keep the transparency of their entries, which FreeImage
// leaves behind.
FIBITMAP* WidenTo8Bits(FIBITMAP* bitmap)
{
    if (!bitmap || FreeImage_GetBPP(bitmap) >= 8) return bitmap;
    FIBITMAP* wide = FreeImage_ConvertTo8Bits(bitmap);
    if (wide && FreeImage_IsTransparent(bitmap))
        FreeImage_SetTransparencyTable(wide, FreeImage_GetTransparencyTable(bitmap),
                                       FreeImage_GetTransparencyCount(bitmap));
    return Supersede(bitmap, wide);
}

FIBITMAP* NarrowTo24Bits(FIBITMAP* bitmap)
{
    if (!bitmap || FreeImage_GetBPP(bitmap) <= 24) return bitmap;
    return Supersede(bitmap, FreeImage_ConvertTo24Bits(bitmap));
}

// 16-bit colour as true colour. Only BMP stores both layouts of 16-bit colour;
// TGA and ICO store 5-5-5 and would take 5-6-5 pixels for it.
FIBITMAP* WithoutSixteenBitColour(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format)
{
    if (!bitmap || FreeImage_GetImageType(bitmap) != FIT_BITMAP || FreeImage_GetBPP(bitmap) != 16) return bitmap;
    bool fiveFiveFive = FreeImage_GetGreenMask(bitmap) == FI16_555_GREEN_MASK;
    if (format == FIF_BMP || (fiveFiveFive && (format == FIF_TARGA || format == FIF_ICO))) return bitmap;
    return Supersede(bitmap, FreeImage_ConvertTo24Bits(bitmap));
}

// Tone mapping drops the alpha of a floating-point picture; it is put back
// as bytes.
FIBITMAP* ToneMappedWithAlpha(FIBITMAP* bitmap)
{
    FIBITMAP* colour = FreeImage_ToneMapping(bitmap, FITMO_DRAGO03, 0, 0);
    FIBITMAP* result = colour ? FreeImage_ConvertTo32Bits(colour) : NULL;
    if (colour) FreeImage_Unload(colour);
    for (unsigned y = 0; result && y < FreeImage_GetHeight(result); y++) {
        const FIRGBAF* from = (const FIRGBAF*)FreeImage_GetScanLine(bitmap, y);
        BYTE* to = FreeImage_GetScanLine(result, y);
        for (unsigned x = 0; x < FreeImage_GetWidth(result); x++) {
            float alpha = from[x].alpha > 0 ? std::min(from[x].alpha, 1.0f) : 0.0f;   // NaN counts as clear
            to[4 * x + FI_RGBA_ALPHA] = (BYTE)(alpha * 255 + 0.5f);
        }
    }
    FreeImage_Unload(bitmap);
    return result;
}

// An ordinary bitmap (1 to 32 bits) from any sample type: 16-bit grey keeps
// its upper byte, 16 bits per channel keep their upper bytes and the alpha,
// floating-point pictures are tone-mapped, and other sample types are scaled
// from their lowest to their highest value.
FIBITMAP* ToOrdinaryBitmap(FIBITMAP* bitmap)
{
    if (!bitmap) return NULL;
    switch (FreeImage_GetImageType(bitmap)) {
    case FIT_BITMAP: return bitmap;
    case FIT_UINT16: return Supersede(bitmap, FreeImage_ConvertTo8Bits(bitmap));
    case FIT_RGB16: return Supersede(bitmap, FreeImage_ConvertTo24Bits(bitmap));
    case FIT_RGBA16: return Supersede(bitmap, FreeImage_ConvertTo32Bits(bitmap));
    case FIT_FLOAT:
    case FIT_RGBF: return Supersede(bitmap, FreeImage_ToneMapping(bitmap, FITMO_DRAGO03, 0, 0));
    case FIT_RGBAF: return ToneMappedWithAlpha(bitmap);
    default: return Supersede(bitmap, FreeImage_ConvertToStandardType(bitmap, TRUE));
    }
}

// What turning and resizing work on: true colour, or 16 bits or floating
// point per channel as they are. 16-bit grey keeps its upper byte, the grey a
// viewer shows.
FIBITMAP* WidenTo24Bits(FIBITMAP* bitmap)
{
    if (!bitmap) return NULL;
    switch (FreeImage_GetImageType(bitmap)) {
    case FIT_RGB16:
    case FIT_RGBA16:
    case FIT_FLOAT:
    case FIT_RGBF:
    case FIT_RGBAF:
        return bitmap;
    default:
        bitmap = ToOrdinaryBitmap(bitmap);
        return (bitmap && FreeImage_GetBPP(bitmap) < 24) ? Supersede(bitmap, FreeImage_ConvertTo24Bits(bitmap)) : bitmap;
    }
}

// PNG and TIFF store some sample types as they are; every other format gets
// an ordinary bitmap.
FIBITMAP* InStoredType(FIBITMAP* bitmap, FREE_IMAGE_FORMAT format)
{
    if (!bitmap) return NULL;
    bool stored = (format == FIF_PNG || format == FIF_TIFF) &&
                  FreeImage_FIFSupportsExportType(format, FreeImage_GetImageType(bitmap));
    return stored ? bitmap : ToOrdinaryBitmap(bitmap);
}

// Transparency to respect. A 32-bit alpha channel that is 0 everywhere is
// taken as unused: programs write 32-bit files that way, meant to be seen.
bool HasTransparency(FIBITMAP* bitmap)
{
    if (!FreeImage_IsTransparent(bitmap)) return false;
    if (FreeImage_GetBPP(bitmap) != 32) return true;
    for (unsigned y = 0; y < FreeImage_GetHeight(bitmap); y++) {
        const BYTE* row = FreeImage_GetScanLine(bitmap, y);
        for (unsigned x = 0; x < FreeImage_GetWidth(bitmap); x++)
            if (row[4 * x + FI_RGBA_ALPHA] != 0) return true;
    }
    return false;
}

// Transparent areas laid over white, for files that cannot store
// transparency. A palette is blended entry by entry, which keeps its depth.
FIBITMAP* OverWhite(FIBITMAP* bitmap)
{
    if (!bitmap || !HasTransparency(bitmap)) return bitmap;
    if (!IsPalette(bitmap)) return Supersede(bitmap, FreeImage_Composite(bitmap, FALSE, &white, NULL));
    RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    const BYTE* alphas = FreeImage_GetTransparencyTable(bitmap);
    unsigned count = std::min(FreeImage_GetColorsUsed(bitmap), FreeImage_GetTransparencyCount(bitmap));
    for (unsigned i = 0; i < count; i++) {
        BYTE* channels[] = {&palette[i].rgbRed, &palette[i].rgbGreen, &palette[i].rgbBlue};
        for (BYTE* c : channels) *c = (BYTE)((*c * alphas[i] + 255 * (255 - alphas[i]) + 127) / 255);
    }
    FreeImage_SetTransparencyTable(bitmap, NULL, 0);
    return bitmap;
}

// Black and white always starts from grey, whatever the palette of the
// source says its two values are.
FIBITMAP* ToGrey(FIBITMAP* bitmap)
{
    return bitmap ? Supersede(bitmap, FreeImage_ConvertToGreyscale(bitmap)) : NULL;
}

FIBITMAP* ThresholdAtMidGrey(FIBITMAP* bitmap)
{
    bitmap = ToGrey(bitmap);
    return bitmap ? Supersede(bitmap, FreeImage_Threshold(bitmap, 128)) : NULL;
}

// FreeImage's PBM writer stores the palette indices as they are, and in a
// PBM file 1 is black: the picture is handed over with black as index 1.
FIBITMAP* BlackAsOne(FIBITMAP* bitmap)
{
    if (!bitmap) return NULL;
    FreeImage_Invert(bitmap);
    RGBQUAD* palette = FreeImage_GetPalette(bitmap);
    std::swap(palette[0], palette[1]);
    return bitmap;
}

FIBITMAP* ToTrueColour(FIBITMAP* bitmap)
{
    return bitmap ? Supersede(bitmap, FreeImage_ConvertTo24Bits(bitmap)) : NULL;
}

// A palette whose transparency GIF and XPM can hold: at most one entry
// fully transparent, every other one opaque.
bool HasOneClearEntry(FIBITMAP* bitmap)
{
    const BYTE* alphas = FreeImage_GetTransparencyTable(bitmap);
    int clear = 0;
    for (unsigned i = 0; i < FreeImage_GetTransparencyCount(bitmap); i++) {
        if (alphas[i] == 0) clear++;
        else if (alphas[i] != 255) return false;
    }
    return clear <= 1;
}

// GIF and XPM keep one palette entry for transparency: fully transparent
// pixels get entry 255 (white for viewers that ignore transparency); the
// rest is laid over white and quantized into the other 255 entries.
FIBITMAP* QuantizeKeepingClearPixels(FIBITMAP* bitmap, int quantizer)
{
    FIBITMAP* opaque = FreeImage_Composite(bitmap, FALSE, &white, NULL);
    FIBITMAP* reduced = opaque ? FreeImage_ColorQuantizeEx(opaque, (FREE_IMAGE_QUANTIZE)quantizer, 255) : NULL;
    if (opaque) FreeImage_Unload(opaque);
    const BYTE clearEntry = 255;
    for (unsigned y = 0; reduced && y < FreeImage_GetHeight(reduced); y++) {
        const BYTE* from = FreeImage_GetScanLine(bitmap, y);
        BYTE* to = FreeImage_GetScanLine(reduced, y);
        for (unsigned x = 0; x < FreeImage_GetWidth(reduced); x++)
            if (from[4 * x + FI_RGBA_ALPHA] == 0) to[x] = clearEntry;
    }
    if (reduced) {
        FreeImage_GetPalette(reduced)[clearEntry] = white;
        BYTE alphas[256];
        memset(alphas, 255, sizeof alphas);
        alphas[clearEntry] = 0;
        FreeImage_SetTransparencyTable(reduced, alphas, 256);
    }
    FreeImage_Unload(bitmap);
    return reduced;
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

// A bitmap's depth in the words of the log.
std::string DepthName(FIBITMAP* bitmap)
{
    switch (FreeImage_GetImageType(bitmap)) {
    case FIT_BITMAP: return std::to_string(FreeImage_GetBPP(bitmap)) + "-bit";
    case FIT_UINT16: return "16-bit grey";
    case FIT_RGB16: return "48-bit colour";
    case FIT_RGBA16: return "64-bit colour";
    case FIT_FLOAT: return "floating-point grey";
    case FIT_RGBF:
    case FIT_RGBAF: return "floating-point colour";
    default: return std::to_string(FreeImage_GetBPP(bitmap)) + "-bit scientific";
    }
}

std::string FormatName(FREE_IMAGE_FORMAT format)
{
    const char* name = FreeImage_GetFormatFromFIF(format);
    return name ? name : "unknown";
}

// What went wrong in words, then what FreeImage said about it, if anything.
std::string Explained(const std::string& step)
{
    return freeImageMessage.empty() ? step : step + ": " + freeImageMessage;
}

// A picture stored the way an EXIF orientation of 2 to 8 says, turned to
// stand as viewers show it: mirrored left to right, then turned counter-
// clockwise (FreeImage's positive angle). Each row is the EXIF definition of
// its orientation read backwards: 6, "turn clockwise to view", is 270 here.
FIBITMAP* Upright(FIBITMAP* bitmap, int orientation)
{
    struct Way { bool mirror; int angle; };
    const Way ways[] = {{false, 0}, {false, 0}, {true, 0}, {false, 180}, {true, 180},
                        {true, 90}, {false, 270}, {true, 270}, {false, 90}};
    const Way& way = ways[orientation];
    if (way.mirror && !FreeImage_FlipHorizontal(bitmap)) return Supersede(bitmap, NULL);
    if (way.angle == 0) return bitmap;
    // FreeImage turns neither 4-bit nor 16-bit colour pictures.
    FIBITMAP* turned = FreeImage_Rotate(bitmap, way.angle, NULL);
    if (!turned) {
        bitmap = WidenTo24Bits(bitmap);
        turned = bitmap ? FreeImage_Rotate(bitmap, way.angle, NULL) : NULL;
    }
    return bitmap ? Supersede(bitmap, turned) : NULL;
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

void EnterStage(const ImageConverter& converter, ConversionStage stage, unsigned long long pixels)
{
    if (converter.stageStarted) converter.stageStarted(stage, pixels);
}

unsigned long long PixelCount(FIBITMAP* bitmap)
{
    return (unsigned long long)FreeImage_GetWidth(bitmap) * FreeImage_GetHeight(bitmap);
}

// Ends a failed conversion: the report, the release of the bitmap in hand.
int Fail(ImageConverter& converter, int code, FIBITMAP* bitmap, const std::string& message)
{
    converter.SetErrorReport(message);
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
    note = 0;
    damage.clear();

    // Accurate decoding is chosen by the input's name, whatever the probe found.
    int loadFlags = FreeImage_GetFIFFromFilename(inputPath) == FIF_JPEG ? JPEG_ACCURATE : 0;
    std::string hostInput = HostPath(inputPath);
    unsigned long long messagesBefore = freeImageMessageCount;
    FIBITMAP* bitmap = hostInput.empty() ? NULL : FreeImage_Load(inputFormat, hostInput.c_str(), loadFlags);
    if (!bitmap) {
        return Fail(*this, OpenFailed, NULL, freeImageMessage);
    }
    // A decoder that meets damage it can read past (a cut-off JPEG) says so
    // and returns what it could read, the rest filled in.
    if (freeImageMessageCount != messagesBefore) damage = freeImageMessage;

    // Kept before any pixels change; camera raw pictures are turned by the
    // raw decoder itself.
    Description description = KeptDescription(bitmap);
    int orientation = turnUpright && inputFormat != FIF_RAW ? ExifOrientation(bitmap) : 1;
    if (orientation == 0) note = CaptionExifUnreadable;
    if (orientation > 1) {
        std::string depth = DepthName(bitmap);
        bitmap = Upright(bitmap, orientation);
        if (!bitmap)
            return Fail(*this, DepthFailed, NULL, Explained("Could not turn the " + depth + " image upright"));
    }

    if (rotate) {
        std::string depth = DepthName(bitmap);
        bitmap = WidenTo24Bits(bitmap);
        // FreeImage turns counter-clockwise for a positive angle; a user's
        // right turn is clockwise.
        if (bitmap && (rotateDirection == Left || rotateDirection == Right)) {
            int angle = rotateDirection == Right ? 360 - degrees : degrees;
            unsigned long long turnedWidth, turnedHeight;
            TurnedSize(FreeImage_GetWidth(bitmap), FreeImage_GetHeight(bitmap), angle, turnedWidth, turnedHeight);
            // Refused before the turn allocates anything for it.
            std::string beyond = SizeBeyondLimits(CaptionTurnedBeyondLimits, turnedWidth, turnedHeight);
            if (!beyond.empty()) return Fail(*this, DepthFailed, bitmap, beyond);
            EnterStage(*this, TurningStage, std::max(PixelCount(bitmap), turnedWidth * turnedHeight));
            bitmap = Supersede(bitmap, FreeImage_Rotate(bitmap, angle, NULL));
        }
        if (!bitmap)
            return Fail(*this, DepthFailed, NULL, Explained("Could not turn the " + depth + " image"));
    }

    if (resize) {
        std::string depth = DepthName(bitmap);
        bitmap = WidenTo24Bits(bitmap);
        if (bitmap && (resizeUnit == Percentage || resizeUnit == Pixels)) {
            int newWidth = width;
            int newHeight = height;
            if (resizeUnit == Percentage) {
                newWidth = ScaledSize(FreeImage_GetWidth(bitmap), width);
                newHeight = ScaledSize(FreeImage_GetHeight(bitmap), height);
            }
            // Refused before the rescaling allocates anything for it.
            std::string beyond = SizeBeyondLimits(CaptionResizedBeyondLimits, std::max(newWidth, 0), std::max(newHeight, 0));
            if (!beyond.empty()) return Fail(*this, DepthFailed, bitmap, beyond);
            EnterStage(*this, ResizingStage, std::max(PixelCount(bitmap), (unsigned long long)newWidth * newHeight));
            bitmap = Supersede(bitmap, FreeImage_Rescale(bitmap, newWidth, newHeight, FILTER_BSPLINE));
            if (!bitmap)
                return Fail(*this, DepthFailed, NULL,
                            Explained("Could not resize the " + depth + " image to " + std::to_string(newWidth) +
                                      " x " + std::to_string(newHeight) + " pixels"));
        }
        if (!bitmap) return Fail(*this, DepthFailed, NULL, Explained("Could not resize the " + depth + " image"));
    }

    FREE_IMAGE_FORMAT format = FreeImage_GetFIFFromFilename(outputPath);
    if (format == FIF_UNKNOWN)
        return Fail(*this, OpenFailed, bitmap, CaptionLater(CaptionNoOutputFormatOfName, {}));

    EnterStage(*this, SavingStage, PixelCount(bitmap));
    freeImageMessage.clear();
    std::string depth = DepthName(bitmap);
    int failure = DepthFailed;
    switch (format) {
    case FIF_ICO:
        // Icons keep transparency in an alpha channel only.
        bitmap = ToOrdinaryBitmap(bitmap);
        if (bitmap && IsPalette(bitmap) && HasTransparency(bitmap))
            bitmap = Supersede(bitmap, FreeImage_ConvertTo32Bits(bitmap));
        bitmap = FitIcon(WithoutSixteenBitColour(bitmap, format));
        break;
    case FIF_JPEG:
        bitmap = NarrowTo24Bits(WithoutSixteenBitColour(WidenTo8Bits(OverWhite(ToOrdinaryBitmap(bitmap))), format));
        break;
    case FIF_BMP:
        // Only 32-bit bitmaps keep their alpha. Run-length encoding exists
        // for 8-bit palettes only: smaller palettes are widened for it, and
        // deeper images are written uncompressed at their own depth, never
        // reduced to 256 colours.
        bitmap = ToOrdinaryBitmap(bitmap);
        if (bitmap && IsPalette(bitmap)) bitmap = OverWhite(bitmap);
        if (saveFlags & BMP_SAVE_RLE) bitmap = WidenTo8Bits(bitmap);
        break;
    case FIF_TARGA:
        bitmap = WithoutSixteenBitColour(WidenTo8Bits(ToOrdinaryBitmap(bitmap)), format);
        break;
    case FIF_PNG:
        bitmap = WithoutSixteenBitColour(InStoredType(bitmap, format), format);
        break;
    // Each of the three takes its own kind of picture, whatever the source.
    case FIF_PBM:
        bitmap = BlackAsOne(ThresholdAtMidGrey(OverWhite(ToOrdinaryBitmap(bitmap))));
        failure = BilevelFailed;
        break;
    case FIF_PGM:
        bitmap = ToGrey(OverWhite(ToOrdinaryBitmap(bitmap)));
        break;
    case FIF_PPM:
        bitmap = ToTrueColour(OverWhite(ToOrdinaryBitmap(bitmap)));
        break;
    case FIF_TIFF:
        // Fax compression holds black and white only.
        if (saveFlags == TIFF_CCITTFAX3 || saveFlags == TIFF_CCITTFAX4) {
            bitmap = ThresholdAtMidGrey(OverWhite(ToOrdinaryBitmap(bitmap)));
            failure = BilevelFailed;
        } else {
            bitmap = WithoutSixteenBitColour(InStoredType(bitmap, format), format);
        }
        break;
    case FIF_WBMP:
        bitmap = ReduceToBilevel(OverWhite(ToOrdinaryBitmap(bitmap)));
        failure = BilevelFailed;
        break;
    case FIF_XPM:
    case FIF_GIF:
        // Here the flag word is the quantizer; the file is saved plainly.
        bitmap = ReduceToPalette(ToOrdinaryBitmap(bitmap), saveFlags);
        saveFlags = 0;
        failure = PaletteFailed;
        break;
    default:
        break;
    }
    if (!bitmap) {
        std::string step = failure == BilevelFailed   ? "reduce the " + depth + " image to black and white"
                           : failure == PaletteFailed ? "reduce the " + depth + " image to 256 colours"
                                                      : "convert the " + depth + " image";
        return Fail(*this, failure, NULL, Explained("Could not " + step + " for " + FormatName(format)));
    }

    Describe(bitmap, format, description.get(), orientation > 1, orientation > 1 || rotate);
    if (!CanWrite(format, bitmap))
        return Fail(*this, CannotWrite, bitmap,
                    Explained(FormatName(format) + " files cannot hold a " + DepthName(bitmap) + " image"));

    std::string reason;
    if (!SaveImageFile(bitmap, format, saveFlags, outputPath, reason))
        return Fail(*this, SaveFailed, bitmap,
                    "Could not save the " + DepthName(bitmap) + " image as " + FormatName(format) + ": " + reason);
    outputFormat = format;
    outputWidth = FreeImage_GetWidth(bitmap);
    outputHeight = FreeImage_GetHeight(bitmap);
    FreeImage_Unload(bitmap);
    return Ok;
}

// Icons come out square, stretched rather than padded, at most 128 pixels on
// a side and at least 16, the smallest icon FreeImage reads.
FIBITMAP* ImageConverter::FitIcon(FIBITMAP* bitmap)
{
    if (!bitmap) return NULL;
    const unsigned smallest = 16, largest = 128;
    unsigned width = FreeImage_GetWidth(bitmap);
    unsigned height = FreeImage_GetHeight(bitmap);
    bitmap = WidenTo8Bits(bitmap);
    if (!bitmap) return NULL;
    if (width > largest || height > largest)
        return Supersede(bitmap, FreeImage_Rescale(bitmap, largest, largest, FILTER_BOX));
    unsigned side = std::max({width, height, smallest});
    if (width == side && height == side) return bitmap;
    return Supersede(bitmap, FreeImage_Rescale(bitmap, side, side, FILTER_BOX));
}

FIBITMAP* ImageConverter::ReduceToBilevel(FIBITMAP* bitmap)
{
    const BilevelMethod& method =
        bilevelMethods[(bilevelMethod >= 0 && bilevelMethod < bilevelMethodCount) ? bilevelMethod : 0];
    bitmap = ToGrey(bitmap);
    if (!bitmap) return NULL;
    if (method.dither)
        return Supersede(bitmap, FreeImage_Dither(bitmap, (FREE_IMAGE_DITHER)method.parameter));
    return Supersede(bitmap, FreeImage_Threshold(bitmap, (BYTE)method.parameter));
}

// Palettes are kept, with the transparency GIF and XPM can hold; everything
// else goes through the quantizer, fully transparent pixels kept apart.
FIBITMAP* ImageConverter::ReduceToPalette(FIBITMAP* bitmap, int quantizer)
{
    if (!bitmap) return NULL;
    if (IsPalette(bitmap)) {
        if (!HasTransparency(bitmap) || HasOneClearEntry(bitmap)) return WidenTo8Bits(bitmap);
        bitmap = Supersede(bitmap, FreeImage_ConvertTo32Bits(bitmap));
        if (!bitmap) return NULL;
    }
    if (FreeImage_GetBPP(bitmap) == 32 && HasTransparency(bitmap)) return QuantizeKeepingClearPixels(bitmap, quantizer);
    bitmap = FreeImage_GetBPP(bitmap) == 24 ? bitmap : ToTrueColour(bitmap);
    return bitmap ? Supersede(bitmap, FreeImage_ColorQuantize(bitmap, (FREE_IMAGE_QUANTIZE)quantizer)) : NULL;
}

void ImageConverter::SetErrorReport(std::string message)
{
    errorReport = FailureReport(inputPath ? inputPath : "", message);
}

std::string FailureReport(const std::string& inputPath, const std::string& message)
{
    return DisplayPath(inputPath) + "\r\n" + Caption(CaptionErrorLabel) + " " + message;
}

void TurnedSize(unsigned long long width, unsigned long long height, int degrees, unsigned long long& turnedWidth,
                unsigned long long& turnedHeight)
{
    int angle = ((degrees % 360) + 360) % 360;
    if (angle % 90 == 0) {
        bool across = angle % 180 != 0;
        turnedWidth = across ? height : width;
        turnedHeight = across ? width : height;
        return;
    }
    double radians = degrees * 3.14159265358979323846 / 180;
    double c = std::fabs(std::cos(radians)), s = std::fabs(std::sin(radians));
    turnedWidth = (unsigned long long)std::ceil(width * c + height * s);
    turnedHeight = (unsigned long long)std::ceil(width * s + height * c);
}
