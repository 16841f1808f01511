// stub: filled by the engine work
#include "engine/image_converter.h"
ImageConverter imageConverter;
std::string freeImageMessage;
ImageConverter::ImageConverter() {}
int ImageConverter::ProbeInput() { return UnknownFormat; }
int ImageConverter::Convert(int, bool, int, int, int, bool, int, int) { return OpenFailed; }
FIBITMAP* ImageConverter::FitIcon(FIBITMAP* b) { return b; }
FIBITMAP* ImageConverter::ReduceToBilevel(FIBITMAP* b) { return b; }
FIBITMAP* ImageConverter::ReduceToPalette(FIBITMAP* b, int) { return b; }
void ImageConverter::SetErrorReport(std::string) {}
std::string IntToString(int value) { return std::to_string(value); }
