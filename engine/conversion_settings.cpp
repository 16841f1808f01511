// The process-wide settings record and the lock that keeps a change whole; see conversion_settings.h.
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
