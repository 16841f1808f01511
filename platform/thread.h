// Used by the batch run to convert beside the window.
#pragma once

// _beginthread and _endthread of the Windows runtime, which the host's C
// runtime lacks: start proc(argument) on a new thread with the default stack
// size; returns false when no thread could be started.
bool BeginThread(void (*proc)(void*), void* argument);

// End the calling thread (started by BeginThread).
[[noreturn]] void EndThread();
