#include "tests/main_window_fixture.h"

#include <shlobj.h>

#include <cstring>

#include "ui/file_list.h"

class FileListTest : public MainWindowTest {
protected:
    // A key pressed in the file list, with another one held down.
    void Key(WPARAM key, int held = 0)
    {
        BYTE keys[256] = {}, saved[256];
        GetKeyboardState(saved);
        if (held) keys[held] = 0x80;
        SetKeyboardState(keys);
        SendMessageA(Item(IDC_FILE_LIST), WM_KEYDOWN, key, 0);
        SetKeyboardState(saved);
    }
};
using namespace std::string_literals;

// A single path, or the open dialog's multi-selection: a directory, then
// names each ended by a NUL, then one more NUL (c_str() adds the last).
TEST_F(FileListTest, AddsASupportedPathOrElseEachNameOfAMultiSelection)
{
    Open();
    const std::string longest = "C:\\" + std::string(1992, 'x') + ".png"; // 1999 characters: kept whole
    for (const std::string& input : {"C:\\Pics\\Photo.JPG"s, "C:\\readme.txt\0"s, "C:\\Pics\0a.png\0typed.txt\0"s,
                                     "C:\\\0c.gif\0"s, "D:\\x.jpg album\0d.png\0"s, longest, longest + "x"})
        AddFilesToList(input.c_str());
    EXPECT_EQ(Rows(), (Texts{"C:\\Pics\\Photo.JPG", "C:\\Pics\\a.png", "C:\\Pics\\typed.txt", "C:\\\\c.gif",
                             "D:\\x.jpg album", longest}));
}

TEST_F(FileListTest, ADropAddsTheSupportedFilesAndRemoveTakesOutTheSelectedRows)
{
    Open();
    std::string files(sizeof(DROPFILES), '\0');
    ((DROPFILES*)&files[0])->pFiles = sizeof(DROPFILES);
    for (const char* name : {"a.png", "folder", "notes.txt", "b.png", "c.png"}) files += directory / name + '\0';
    HGLOBAL drop = GlobalAlloc(GMEM_FIXED, files.size() + 1);
    memcpy(drop, files.c_str(), files.size() + 1);
    SendMessageA(window, WM_DROPFILES, (WPARAM)drop, 0);
    EXPECT_EQ(Rows(), (Texts{directory / "a.png", directory / "b.png", directory / "c.png"}));

    Command(IDC_REMOVE_FILES); // none selected
    for (int row : {0, 2}) ListView_SetItemState(Item(IDC_FILE_LIST), row, LVIS_SELECTED, LVIS_SELECTED);
    Command(IDM_REMOVE_FILES);
    EXPECT_EQ(Rows(), Texts{directory / "b.png"});
    AddFilesToList("C:\\c.png");
    Key('A', VK_CONTROL);
    EXPECT_EQ(ListView_GetSelectedCount(Item(IDC_FILE_LIST)), 2u);
    Key(VK_DELETE);
    EXPECT_EQ(fileCount + Rows().size(), 0u);
}

TEST_F(FileListTest, AdvancedModeAddsTheQuotedFileOrTheListedOnesOrSaysWhatIsMissing)
{
    MessageBoxAnswerer boxes;
    WriteFileBytes(directory / "brwk.dat", "");
    WriteFileBytes(directory / "list.txt", "C:\\a.png\r\n\n/tmp/b.png\nC:\\readme.txt\nC:\\c.gif");
    advancedMode = true;
    savedCommandLine = "-advanced -inputmulti \"" + directory / "list.txt\"";
    Open();
    EXPECT_EQ(Rows(), (Texts{"C:\\a.png", "Z:\\tmp\\b.png", "C:\\c.gif"}));
    EXPECT_FALSE(FileExists(directory / "brwk.dat")) << "the program's own list goes once a list was read";

    for (const char* line : {"-inputone C:\\d.png", "-inputmulti \"C:\\list.txt", "-inputmulti \"Z:\\none.txt\"",
                             "-advanced", "-inputone \"C:\\d.png\""}) {
        savedCommandLine = line;
        AddFilesFromCommandLine();
    }
    EXPECT_EQ(boxes.texts(), (Texts{CaptionText(CaptionNoInputOnePath), CaptionText(CaptionNoInputMultiPath),
                                    CaptionText(CaptionListFileUnreadable), CaptionText(CaptionNoInput)}));
    EXPECT_EQ(Rows().back(), "C:\\d.png");

    // The window takes the focus back from a message shown as it opened.
    savedCommandLine = "-advanced";
    Open();
    ShowWindow(window, SW_SHOW);
    PumpMessages(100);
    EXPECT_EQ(boxes.texts().back(), CaptionText(CaptionNoInput));
    EXPECT_EQ(GetFocus(), Item(IDC_FILE_LIST));
}
