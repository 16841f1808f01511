// Used once by the worker before it decodes anything.
#pragma once

// Keeps the image libraries below FreeImage from writing to the console.
// The host's FreeImage uses the system's libtiff, whose default handlers
// print every unknown tag of a TIFF file to standard error; FreeImage's own
// messages still reach its output-message callback.
void QuietImageLibraries();
