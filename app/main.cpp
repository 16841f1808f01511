// The process entry: a worker when started as one, otherwise the program
// for the argument text the shell passed.
#include <windows.h>

#include "app/startup.h"
#include "engine/worker_main.h"
#include "engine/worker_pool.h"
#include "platform/argument_text.h"
#include "platform/session_start.h"
#include "platform/standard_streams.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    SignalSessionStarted();
    RunWorkerIfAsked();
    KeepStandardStreamsToThisProcess();
    programInstance = instance;
    int status = RunProgram(ProcessArgumentText());
    LetEarlyWorkerGo();
    ExitProcess(status);
}
