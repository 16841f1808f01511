// The file list: names added, removal and advanced-mode input.
#include "tests/main_window_fixture.h"

#include "platform/host_file.h"
#include "ui/file_list.h"

using FileListTest = MainWindowTest;
using namespace std::string_literals;

// A single path, or the open dialog's multi-selection: a directory, then
// names each ended by a NUL, then one more NUL (c_str() adds the last).
TEST_F(FileListTest, AddsASupportedPathOrElseEachNameOfAMultiSelection)
{
    Open();
    const std::string longest = "C:\\" + std::string(1992, 'x') + ".png"; // 1999 characters: kept whole
    for (const std::string& input : {"C:\\Pics\\Photo.JPG"s, "C:\\readme.txt\0"s, "C:\\Pics\0a.png\0typed.txt\0"s,
                                     "C:\\\0c.gif\0"s, "D:\\x.jpg album\0d.png\0"s, "C:\\a.jpeg"s, longest, longest + "x"})
        AddFilesToList(input.c_str());
    EXPECT_EQ(Rows(), (Texts{"C:\\Pics\\Photo.JPG", "C:\\Pics\\a.png", "C:\\Pics\\typed.txt", "C:\\\\c.gif",
                             "D:\\x.jpg album", "C:\\a.jpeg", longest}));

    // A row its column cuts short shows its full path as the list's tip.
    Texts tips;
    for (int row : {0, 6}) {
        RECT cell;
        ListView_GetItemRect(Item(IDC_FILE_LIST), row, &cell, LVIR_LABEL);
        tips.push_back(FileListTipAt({cell.left + 5, (cell.top + cell.bottom) / 2}, "tip"));
    }
    EXPECT_EQ(tips, (Texts{"tip", longest}));

    // A row shows the path as the host names it and keeps the Windows path.
    std::string inDirectory = directory / "shown.png";
    AddFilesToList(inDirectory.c_str());
    char shown[MAX_PATH] = "";
    ListView_GetItemText(Item(IDC_FILE_LIST), fileCount - 1, 0, shown, sizeof shown);
    EXPECT_EQ(shown + (" " + Rows().back()), HostPath(inDirectory.c_str()) + " " + inDirectory);
}

// Rows are taken out from the last, so that each selected one goes.
TEST_F(FileListTest, RemoveAndTheDeleteKeyTakeOutTheSelectedRows)
{
    Open();
    for (const char* path : {"C:\\a.png", "C:\\b.png", "C:\\c.png"}) AddFilesToList(path);
    for (int row : {0, 1}) ListView_SetItemState(Item(IDC_FILE_LIST), row, LVIS_SELECTED, LVIS_SELECTED);
    Command(IDM_REMOVE_FILES);
    EXPECT_EQ(Rows(), Texts{"C:\\c.png"});
    ListView_SetItemState(Item(IDC_FILE_LIST), 0, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageA(Item(IDC_FILE_LIST), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(fileCount + Rows().size(), 0u);
}

// Lines may end in CR LF, and a host path may climb; once a list was read,
// the program's own list goes.
TEST_F(FileListTest, AdvancedModeAddsTheListedFilesAndDropsItsOwnList)
{
    WriteFileBytes(directory / "brwk.dat", "");
    WriteFileBytes(directory / "list.txt", "C:\\a.png\r\n\n/tmp/x/../b.png\nC:\\readme.txt\n/tmp/\u5199 \u00e9.png\n"
                                           "C:\\caf\xe9.png\nC:\\c.gif");
    advancedMode = true;
    savedCommandLine = ReadCommandLine("-advanced -inputmulti \"" + directory / "list.txt\"");
    Open();
    EXPECT_EQ(Rows(),
              (Texts{"C:\\a.png", "Z:\\tmp\\b.png", "Z:\\tmp\\\u5199 \u00e9.png", "C:\\caf\u00e9.png", "C:\\c.gif"}));
    EXPECT_FALSE(FileExists(directory / "brwk.dat"));
}
