// The test program's entry: runs the worker role when started as one, otherwise every test.
#include <windows.h>
#include <commctrl.h>

#include "app/startup.h"
#include "engine/worker_main.h"
#include "tests/gtest.h"

int main(int argc, char** argv)
{
    // The runs under test start this program as their workers.
    RunWorkerIfAsked();
    // The test program carries the program's resources (dialogs, menu, icon).
    programInstance = GetModuleHandleA(NULL);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
