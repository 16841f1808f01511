// The user's choices, one record for the whole process. Written by the
// user-interface thread, read by the conversion job.
#pragma once

enum ResizeUnit { Percentage = 10, Pixels = 11 };
enum RotateDirection { Left = 12, Right = 13 };

// How every image of a run is changed on its way.
struct ImageChange {
    bool resize;
    int resizeUnit;   // a ResizeUnit; 0 while not resizing
    int width;
    int height;
    bool rotate;
    int rotateDirection;
    int degrees;
};

struct ConversionSettings {
    int language;
    int outputFormat;
    int saveOption;
    int bmpDefaultOption;
    int jpgDefaultOption;
    int pbmDefaultOption;
    int pgmDefaultOption;
    int ppmDefaultOption;
    int tifDefaultOption;
    int wbmpDefaultOption;
    int xpmDefaultOption;
    bool useOutputDirectory;
    char outputDirectory[500];
    bool deleteOriginal;
    bool resizeEnabled;
    int resizeMode;
    char resizeModeText[100];
    int resizeWidth;
    int resizeHeight;
    bool rotateEnabled;
    int rotateDirection;
    char rotateDirectionText[100];
    int rotateDegrees;
    int workers;   // files converted at a time; 0: one per processor
    // Photos turned upright as their EXIF orientation says. On unless the
    // settings file says otherwise, also when it lacks the line.
    bool turnUpright = true;
};

extern ConversionSettings settings;

// The output directory, its switch and the deletion switch may change while a
// batch run converts: the user-interface thread changes them only between
// BeginSettingsChange and EndSettingsChange (a short hold, never a file's
// length), and each file of a run converts with a SettingsSnapshot taken as
// it starts, so that it sees them whole, old or new.
void BeginSettingsChange();
void EndSettingsChange();
ConversionSettings SettingsSnapshot();
