// What one file may cost a worker. The limits lie far beyond any photograph
// (the help states them); they stop damaged or crafted files, which can
// declare absurd sizes or make a decoder run forever. Tests lower them.
#pragma once
#include <string>

struct ConversionLimits {
    unsigned long long pixels;        // of an image, as declared or as requested
    unsigned long long side;          // pixels on either side
    unsigned long long memoryBytes;   // a worker's allocations; 0: a share of three quarters of the memory
    unsigned baseSeconds;             // time for one file: this much,
    unsigned secondsPerMegapixel;     // plus this per megapixel it has or is resized to,
    unsigned secondsPerMegabyte;      // plus this per megabyte of the source
};

extern ConversionLimits conversionLimits;

// Empty when an image of width x height is within the limits, else the reason
// as the caption that names how the image comes to that size, put into words
// later (CaptionLater).
std::string SizeBeyondLimits(int caption, unsigned long long width, unsigned long long height);
