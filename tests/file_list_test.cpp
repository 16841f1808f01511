// The file list: names added in any script, drops, removal and advanced-mode input.
#include "tests/main_window_fixture.h"

#include <shlobj.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/host_file.h"
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

namespace {

// Keeps the Add Files dialog's title, types names into its name field and
// presses Open.
std::string typedNames, dialogTitle;
LRESULT CALLBACK TypeNames(int code, WPARAM wParam, LPARAM lParam)
{
    const int nameField = 0x47c;
    HWND dialog = (HWND)wParam;
    char title[200] = "";
    if (code == HCBT_ACTIVATE && GetDlgItem(dialog, nameField)) {
        dialogTitle = std::string(title, GetWindowTextA(dialog, title, sizeof title));
        SetDlgItemTextA(dialog, nameField, typedNames.c_str());
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

} // namespace

// A single path, or the open dialog's multi-selection: a directory, then
// names each ended by a NUL, then one more NUL (c_str() adds the last).
TEST_F(FileListTest, AddsASupportedPathOrElseEachNameOfAMultiSelection)
{
    Open();
    Texts typed; // every input type
    std::istringstream types("jpg jpeg jif bmp png tga dds cut gif ico iff jng koa lbm pcd mng pcx pbm pgm ppm psd ras "
                             "tif tiff wbmp xbm xpm");
    for (std::string type; types >> type;) typed.push_back("C:\\a." + type);
    const std::string longest = "C:\\" + std::string(1992, 'x') + ".png"; // 1999 characters: kept whole
    for (const std::string& input : {"C:\\Pics\\Photo.JPG"s, "C:\\readme.txt\0"s, "C:\\Pics\0a.png\0typed.txt\0"s,
                                     "C:\\\0c.gif\0"s, "D:\\x.jpg album\0d.png\0"s, longest, longest + "x"})
        AddFilesToList(input.c_str());
    for (const std::string& input : typed) AddFilesToList(input.c_str());
    typed.insert(typed.begin(), {"C:\\Pics\\Photo.JPG", "C:\\Pics\\a.png", "C:\\Pics\\typed.txt", "C:\\\\c.gif",
                                 "D:\\x.jpg album", longest});
    EXPECT_EQ(Rows(), typed);
    EXPECT_EQ(fileCount, typed.size());

    // A row its column cuts short shows its full path as the list's tip.
    Texts tips;
    for (int row : {0, 5}) {
        RECT cell;
        ListView_GetItemRect(Item(IDC_FILE_LIST), row, &cell, LVIR_LABEL);
        tips.push_back(FileListTipAt({cell.left + 5, (cell.top + cell.bottom) / 2}, "tip"));
    }
    tips.push_back(FileListTipAt({5, 2000}, "tip"));
    EXPECT_EQ(tips, (Texts{"tip", longest, "tip"}));

    // A row shows the path as the host names it and keeps the Windows path.
    std::string inDirectory = directory / "shown.png";
    AddFilesToList(inDirectory.c_str());
    EXPECT_EQ(Entries(IDC_FILE_LIST).back() + " " + Rows().back(), HostPath(inDirectory.c_str()) + " " + inDirectory);
    EXPECT_EQ(HostPath(inDirectory.c_str()).substr(0, 5), "/tmp/");
}

TEST_F(FileListTest, TheAddFilesDialogAddsNamesInAnyScript)
{
    Open();
    for (const char* name : {"\u5199 c.png", "\u0416 d.png"}) WriteFileBytes(directory / name, "");
    char previous[MAX_PATH * 3];
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(directory.path().c_str());
    typedNames = "\"\u5199 c.png\" \"\u0416 d.png\"";
    HHOOK hook = SetWindowsHookExA(WH_CBT, TypeNames, NULL, GetCurrentThreadId());
    Command(IDC_ADD_FILES);
    UnhookWindowsHookEx(hook);
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(Rows(), (Texts{directory / "\u5199 c.png", directory / "\u0416 d.png"}));
    EXPECT_EQ(dialogTitle, CaptionText(CaptionAddFilesTitle));
}

TEST_F(FileListTest, ADropAddsTheSupportedFilesAndRemoveTakesOutTheSelectedRows)
{
    Open();
    // Wine hands over a drop from the desktop in UTF-16. The last name's
    // small letter is longer in UTF-8 than its capital.
    std::string names;
    for (const char* name : {"a.png", "folder", "notes.txt", "\u5199 b.png", "\u023a.PNG"}) names += directory / name + '\0';
    int length = MultiByteToWideChar(CP_UTF8, 0, names.c_str(), names.size() + 1, NULL, 0);
    HGLOBAL drop = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(DROPFILES) + length * sizeof(WCHAR));
    *(DROPFILES*)drop = {sizeof(DROPFILES), {}, FALSE, TRUE};
    MultiByteToWideChar(CP_UTF8, 0, names.c_str(), names.size() + 1, (WCHAR*)((DROPFILES*)drop + 1), length);
    SendMessageA(window, WM_DROPFILES, (WPARAM)drop, 0);
    EXPECT_EQ(Rows(), (Texts{directory / "a.png", directory / "\u5199 b.png", directory / "\u023a.PNG"}));

    Command(IDC_REMOVE_FILES); // none selected
    for (int row : {0, 1}) ListView_SetItemState(Item(IDC_FILE_LIST), row, LVIS_SELECTED, LVIS_SELECTED);
    Command(IDM_REMOVE_FILES);
    EXPECT_EQ(Rows(), Texts{directory / "\u023a.PNG"});
    AddFilesToList("C:\\c.png");
    Key('A', VK_CONTROL);
    EXPECT_EQ(ListView_GetSelectedCount(Item(IDC_FILE_LIST)), 2u);
    Key(VK_DELETE);
    EXPECT_EQ(fileCount + Rows().size(), 0u);
}

TEST_F(FileListTest, AdvancedModeAddsTheQuotedFileOrTheListedOnesOrSaysWhatIsMissing)
{
    WriteFileBytes(directory / "brwk.dat", "");
    WriteFileBytes(directory / "b.png", "");
    std::string trailingBlank = HostPath((directory / "b.png").c_str()) + " ";
    // A file in the prefix's drive C, by its host path through no drive link.
    WriteFileBytes("C:\\brwk-test.png", "");
    char driveC[PATH_MAX] = "";
    realpath(HostPath("C:\\").c_str(), driveC);
    WriteFileBytes(directory / "list.txt", "C:\\a.png\r\n\n/tmp/x/../b.png\nC:\\readme.txt\n/tmp/\u5199 \u00e9.png\n" +
                                               trailingBlank + "\nC:\\caf\xe9.png\n" + driveC + "/brwk-test.png\nC:\\c.gif");
    advancedMode = true;
    savedCommandLine = ReadCommandLine("-advanced -inputmulti \"" + directory / "list.txt\"");
    Open();
    DeleteFileA("C:\\brwk-test.png");
    EXPECT_EQ(Rows(), (Texts{"C:\\a.png", "Z:\\tmp\\b.png", "Z:\\tmp\\\u5199 \u00e9.png", "C:\\caf\u00e9.png",
                             "C:\\brwk-test.png", "C:\\c.gif"}));
    EXPECT_EQ(boxes.texts(), Texts{CaptionText(CaptionFilesNotAdded) + "\n\n" + Logged(trailingBlank) + CaptionText(CaptionInexactName)});
    EXPECT_FALSE(FileExists(directory / "brwk.dat")) << "the program's own list goes once a list was read";

    for (const char* line : {"-inputone C:\\d.png", "-inputmulti \"C:\\list.txt", "-inputmulti \"Z:\\none.txt\"",
                             "-advanced", "-inputone \"C:\\d.png\""}) {
        savedCommandLine = ReadCommandLine(line);
        AddFilesFromCommandLine();
    }
    EXPECT_EQ(boxes.texts(), (Texts{boxes.texts()[0], CaptionText(CaptionNoInputOnePath), CaptionText(CaptionNoInputMultiPath),
                                    CaptionText(CaptionListFileUnreadable), CaptionText(CaptionNoInput)}));
    EXPECT_EQ(Rows().back(), "C:\\d.png");

    // The window takes the focus back from a message shown as it opened.
    savedCommandLine = ReadCommandLine("-advanced");
    Open();
    ShowWindow(window, SW_SHOW);
    PumpMessages(100);
    EXPECT_EQ(boxes.texts().back(), CaptionText(CaptionNoInput));
    EXPECT_EQ(GetFocus(), Item(IDC_FILE_LIST));
}
