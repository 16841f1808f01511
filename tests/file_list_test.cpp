#include "tests/main_window_fixture.h"

#include <dlgs.h>
#include <shlobj.h>

#include <cstring>

#include "lang/caption_numbers.h"
#include "ui/file_list.h"

namespace {

// The multi-selection form: a directory, then names, each ended by a NUL,
// then one more NUL.
std::string Selection(const std::string& directory, const Texts& names)
{
    std::string form = directory + '\0';
    for (const std::string& name : names) form += name + '\0';
    return form + '\0';
}

std::string Single(const std::string& path)
{
    return path + std::string(2, '\0');
}

// A drop of files as the shell hands it to a window.
HDROP MakeDrop(const Texts& names)
{
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& name : names) size += name.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    DROPFILES* drop = (DROPFILES*)GlobalLock(memory);
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* next = (char*)drop + sizeof(DROPFILES);
    for (const std::string& name : names) {
        memcpy(next, name.c_str(), name.size() + 1);
        next += name.size() + 1;
    }
    GlobalUnlock(memory);
    return (HDROP)memory;
}

// Answers the Add Files dialog once it is up: keeps its title and file types,
// and types `typedName` into its file name field (nothing: cancels).
std::string typedName;
std::string openDialogTitle;
int fileTypeCount;
std::string firstFileType;
HWND openDialog;

void CALLBACK AnswerOpenDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    char text[200] = "";
    GetWindowTextA(openDialog, text, sizeof text);
    openDialogTitle = text;
    HWND types = GetDlgItem(openDialog, cmb1);
    fileTypeCount = (int)SendMessageA(types, CB_GETCOUNT, 0, 0);
    text[0] = '\0';
    SendMessageA(types, CB_GETLBTEXT, 0, (LPARAM)text);
    firstFileType = text;
    HWND name = GetDlgItem(openDialog, cmb13) ? GetDlgItem(openDialog, cmb13) : GetDlgItem(openDialog, edt1);
    SetWindowTextA(name, typedName.c_str());
    PostMessageA(openDialog, WM_COMMAND, typedName.empty() ? IDCANCEL : IDOK, 0);
}

LRESULT CALLBACK FindOpenDialog(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && !openDialog) {
        openDialog = (HWND)wParam;
        SetTimer(NULL, 0, 100, AnswerOpenDialog);
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

std::string CaptionText(int k)
{
    return "caption " + std::to_string(k);
}

} // namespace

using FileListTest = MainWindowTest;

// --- Adding ---

TEST_F(FileListTest, ASinglePathIsAddedWhenASupportedExtensionOccursAnywhereInIt)
{
    Open();
    for (const char* path : {"C:\\Pics\\Photo.JPG", "C:\\Docs\\readme.txt", "C:\\Pics\\old.png.bak",
                             "C:\\a.gif files\\notes.txt", "C:\\Pics\\Photo.JPG"})
        AddFilesToList(Single(path).c_str());

    Texts expected = {"C:\\Pics\\Photo.JPG", "C:\\Pics\\old.png.bak", "C:\\a.gif files\\notes.txt",
                      "C:\\Pics\\Photo.JPG"};
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(fileCount, 4u);
}

TEST_F(FileListTest, AMultiSelectionAddsEachNameAfterItsDirectory)
{
    Open();
    // The names are the dialog's own choice: they are not tested again.
    AddFilesToList(Selection("C:\\Pics", {"a.png", "b.bmp", "typed.txt"}).c_str());
    AddFilesToList(Selection("C:\\", {"c.gif"}).c_str());
    AddFilesToList(Selection("C:\\Empty", {}).c_str());
    // A directory holding an extension text reads as a single path.
    AddFilesToList(Selection("D:\\x.jpg album", {"d.png", "e.png"}).c_str());

    Texts expected = {"C:\\Pics\\a.png", "C:\\Pics\\b.bmp", "C:\\Pics\\typed.txt", "C:\\\\c.gif",
                      "D:\\x.jpg album"};
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(fileCount, 5u);
}

TEST_F(FileListTest, PathsLongerThan1999CharactersAreLeftOutNotCut)
{
    Open();
    std::string longest = "C:\\" + std::string(1992, 'x') + ".png";
    ASSERT_EQ(longest.size(), maxInputPath);
    AddFilesToList(Single(longest).c_str());
    AddFilesToList(Single(longest + "x").c_str());

    std::string directory = "C:\\" + std::string(1985, 'd');
    AddFilesToList(Selection(directory, {"a.png", "much-longer-name.png", "b.png"}).c_str());

    Texts expected = {longest, directory + "\\a.png", directory + "\\b.png"};
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(fileCount, 3u);
}

TEST_F(FileListTest, AddFilesOpensTheFileDialogAndAddsItsChoice)
{
    Open();
    WriteFileBytes(directory / "photo.png", "not really a picture");
    HHOOK hook = SetWindowsHookExA(WH_CBT, FindOpenDialog, NULL, GetCurrentThreadId());
    for (const std::string& name : {directory / "photo.png", std::string()}) {
        typedName = name;
        openDialog = NULL;
        openDialogTitle.clear();
        Command(IDC_ADD_FILES);
        EXPECT_EQ(openDialogTitle, CaptionText(CaptionAddFilesTitle));
        EXPECT_EQ(fileTypeCount, 25);
        EXPECT_EQ(firstFileType, "All Pictures");
    }
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(Rows(), Texts{directory / "photo.png"}) << "a cancelled dialog adds nothing";
}

TEST_F(FileListTest, DroppedFilesAddTheSupportedOnesInDropOrderAndReleaseTheDrop)
{
    Open();
    WriteFileBytes(directory / "notes.txt", "text");
    CreateDirectoryA((directory / "folder").c_str(), NULL);
    std::string tooLong = "C:\\" + std::string(2100, 'y') + ".png";
    Texts dropped = {directory / "a.png", directory / "folder", directory / "notes.txt", tooLong,
                     directory / "B.JPG", directory / "c.gif"};

    HDROP drop = MakeDrop(dropped);
    conversionRunning = true; // a run does not stop drops
    SendMessageA(window, WM_DROPFILES, (WPARAM)drop, 0);

    Texts expected = {directory / "a.png", directory / "B.JPG", directory / "c.gif"};
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(fileCount, 3u);
    EXPECT_EQ(GlobalFlags(drop), (UINT)GMEM_INVALID_HANDLE);
}

// --- Removing ---

TEST_F(FileListTest, RemoveFilesTakesOutExactlyTheSelectedRows)
{
    Open();
    for (const char* path : {"C:\\0.png", "C:\\1.png", "C:\\2.png", "C:\\3.png", "C:\\4.png"})
        AddFilesToList(Single(path).c_str());

    Command(IDC_REMOVE_FILES);
    EXPECT_EQ(fileCount, 5u) << "nothing selected, nothing removed";

    SelectRows({1, 2, 4});
    MenuCommand(IDM_REMOVE_FILES);
    Texts expected = {"C:\\0.png", "C:\\3.png"};
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(fileCount, 2u);

    SelectRows({0, 1});
    Command(IDC_REMOVE_FILES);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(fileCount, 0u);
}

// --- The command line of advanced mode ---

TEST_F(FileListTest, InputOneAddsTheQuotedFile)
{
    MessageBoxAnswerer boxes;
    advancedMode = true;
    savedCommandLine = "-advanced -inputone \"C:\\My Pics\\a.png\" -inputmulti \"C:\\list.txt\"";
    Open();
    EXPECT_EQ(Rows(), Texts{"C:\\My Pics\\a.png"});
    EXPECT_EQ(boxes.count(), 0u);
}

TEST_F(FileListTest, InputWithoutAQuotedPathIsReported)
{
    MessageBoxAnswerer boxes;
    Open();
    for (const char* line : {"-advanced -inputone C:\\a.png", "-advanced -inputone \"C:\\a.png",
                             "-advanced -inputmulti C:\\list.txt", "-advanced -inputmulti \"C:\\list.txt",
                             "-advanced", "-advanced -inputone\""}) {
        savedCommandLine = line;
        AddFilesFromCommandLine();
    }
    Texts expected = {CaptionText(CaptionNoInputOnePath), CaptionText(CaptionNoInputOnePath),
                      CaptionText(CaptionNoInputMultiPath), CaptionText(CaptionNoInputMultiPath),
                      CaptionText(CaptionNoInput), CaptionText(CaptionNoInputOnePath)};
    EXPECT_EQ(boxes.texts(), expected);
    EXPECT_EQ(fileCount, 0u);
}

TEST_F(FileListTest, InputMultiAddsTheListedFilesAndDeletesTheProgramsListFile)
{
    MessageBoxAnswerer boxes;
    WriteFileBytes(directory / "brwk.dat", "C:\\old.png\n");
    std::string longLine = "C:\\" + std::string(1992, 'z') + ".png";
    WriteFileBytes(directory / "photos list.txt",
                   "C:\\Pics\\a.png\r\n"
                   "\n"
                   "/tmp/bramblewick-list/b.png\n"
                   "C:\\Pics\\readme.txt\n" +
                   longLine + "\n"
                   "C:\\Pics\\c.gif");
    advancedMode = true;
    savedCommandLine = "-advanced -inputmulti \"" + (directory / "photos list.txt") + "\"";
    Open();

    Texts expected = {"C:\\Pics\\a.png", "Z:\\tmp\\bramblewick-list\\b.png", "C:\\Pics\\c.gif"};
    EXPECT_EQ(Rows(), expected);
    EXPECT_EQ(boxes.count(), 0u);
    EXPECT_FALSE(FileExists(directory / "brwk.dat"));
    EXPECT_TRUE(FileExists(directory / "photos list.txt"));
}

TEST_F(FileListTest, AnUnreadableListIsReportedAndTheProgramsListFileKept)
{
    MessageBoxAnswerer boxes;
    WriteFileBytes(directory / "brwk.dat", "C:\\old.png\n");
    advancedMode = true;
    savedCommandLine = "-advanced -inputmulti \"" + (directory / "missing.txt") + "\"";
    Open();
    EXPECT_EQ(boxes.texts(), Texts{CaptionText(CaptionListFileUnreadable)});
    EXPECT_TRUE(FileExists(directory / "brwk.dat"));
    EXPECT_EQ(fileCount, 0u);
}
