#include <windows.h>

#include "app/startup.h"
#include "platform/argument_text.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    programInstance = instance;
    ExitProcess(RunProgram(ProcessArgumentText()));
}
