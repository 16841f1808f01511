// Gives the signal a starting Wine process waits for when the session start is left out.
#include "platform/session_start.h"

#include <windows.h>
#include <winternl.h>

void SignalSessionStarted()
{
    // Only there while another process that started with this one holds it:
    // usually there is nothing to signal.
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, L"\\KernelObjects\\__wineboot_event");
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &name, 0, NULL, NULL);
    HANDLE event = NULL;
    if (NtOpenEvent(&event, EVENT_MODIFY_STATE, &attributes) != 0) return;
    NtSetEvent(event, NULL);
    NtClose(event);
}
