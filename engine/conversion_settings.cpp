#include "engine/conversion_settings.h"

ConversionSettings settings = {};
