// The test program's entry: runs the worker role when started as one, otherwise every test.
#include <windows.h>

#include "app/startup.h"
#include "engine/worker_main.h"
#include "tests/gtest.h"
#include "ui/window_helpers.h"

int main(int argc, char** argv)
{
    // The runs under test start this program as their workers.
    RunWorkerIfAsked();
    // The test program carries the program's resources (dialogs, menu, icon).
    programInstance = GetModuleHandleA(NULL);
    LoadCommonControls();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
