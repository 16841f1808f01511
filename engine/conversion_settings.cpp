#include "engine/conversion_settings.h"

#include <windows.h>

ConversionSettings settings = {};

namespace {

SRWLOCK settingsLock = SRWLOCK_INIT;

} // namespace

void BeginSettingsChange()
{
    AcquireSRWLockExclusive(&settingsLock);
}

void EndSettingsChange()
{
    ReleaseSRWLockExclusive(&settingsLock);
}

ConversionSettings SettingsSnapshot()
{
    AcquireSRWLockShared(&settingsLock);
    ConversionSettings copy = settings;
    ReleaseSRWLockShared(&settingsLock);
    return copy;
}
