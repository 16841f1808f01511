// The process entry: a worker when started as one, otherwise the program
// for the argument text the shell passed.
#include <windows.h>

#include "app/startup.h"
#include "engine/worker_main.h"
#include "platform/argument_text.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    RunWorkerIfAsked();
    programInstance = instance;
    ExitProcess(RunProgram(ProcessArgumentText()));
}
