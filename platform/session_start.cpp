// Gives the signal a starting Wine process waits for when the session start is left out.
#include "platform/session_start.h"

#define WIN32_NO_STATUS
#include <windows.h>
#undef WIN32_NO_STATUS
#include <ntstatus.h>
#include <winternl.h>

void SignalSessionStarted()
{
    // Created signalled and kept by the Wine server while it runs: a Wine
    // process started later finds the session started, and neither tries to
    // start it nor waits for another one that does. One that exists already
    // was made by a process starting with this one, which may wait on it.
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, L"\\KernelObjects\\__wineboot_event");
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &name, OBJ_OPENIF | OBJ_PERMANENT, NULL, NULL);
    HANDLE event = NULL;
    NTSTATUS status = NtCreateEvent(&event, EVENT_ALL_ACCESS, &attributes, NotificationEvent, TRUE);
    if (status < 0) return;
    if (status == STATUS_OBJECT_NAME_EXISTS) NtSetEvent(event, NULL);
    NtClose(event);
}
