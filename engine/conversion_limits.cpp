// The limits one file may cost; see conversion_limits.h.
#include "engine/conversion_limits.h"

#include "lang/caption_numbers.h"
#include "lang/language_file.h"

ConversionLimits conversionLimits = {
    1000000000ull,   // a gigapixel, ten times the largest camera sensor
    1000000ull,      // a million: panoramas, but not a strip that blows up the rescaling tables
    0,
    60,
    1,
    1,
};

std::string SizeBeyondLimits(int caption, unsigned long long width, unsigned long long height)
{
    bool within = width <= conversionLimits.side && height <= conversionLimits.side &&
                  (height == 0 || width <= conversionLimits.pixels / height);
    if (within) return std::string();
    return CaptionLater(caption, {std::to_string(width), std::to_string(height),
                                  std::to_string(conversionLimits.pixels / 1000000), std::to_string(conversionLimits.side)});
}
