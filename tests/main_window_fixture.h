// The program's real dialogs from their templates, opened in-process, with
// every piece of process-wide state they touch put back afterwards.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/startup.h"
#include "engine/convert_file.h"
#include "engine/formats.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/user_files.h"
#include "res/resource.h"
#include "tests/test_support.h"
#include "ui/file_list.h"
#include "ui/main_window.h"

class MainWindowTest : public ProcessStateTest {
protected:
    MainWindowTest() { endProgram = [] { ++ends; }; }
    ~MainWindowTest() override
    {
        DestroyWindow(window);
        endProgram = savedEndProgram;
    }

    void Open(int dialog = IDD_MAIN, DLGPROC procedure = MainWindowProc)
    {
        DestroyWindow(window);
        window = CreateDialogParamA(programInstance, MAKEINTRESOURCEA(dialog), NULL, procedure, 0);
        // A modeless dialog that closes hides itself: shown, it is seen to close.
        if (dialog != IDD_MAIN) ShowWindow(window, SW_SHOW);
    }

    HWND Item(int id) const { return GetDlgItem(window, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    void Command(int id, int code = 0) { SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)Item(id)); }
    // What a click on a check box does.
    void SetSwitch(int id, bool on) { CheckDlgButton(window, id, on); Command(id, BN_CLICKED); }

    std::string Text(int id) const { char text[1000]; return {text, (size_t)GetDlgItemTextA(window, id, text, 1000)}; }

    // What choosing an entry of a drop-down list does; of equal entries, the first.
    void Choose(int id, const std::string& entry)
    {
        SendMessageA(Item(id), CB_SETCURSEL, SendMessageA(Item(id), CB_FINDSTRINGEXACT, -1, (LPARAM)entry.c_str()), 0);
        Command(id, CBN_SELCHANGE);
    }

    void ChooseFormat(int format) { Choose(IDC_FORMAT, Caption(CaptionFormatNames + format)); }

    // The Windows paths the rows hold; the rows show them as the host names them.
    Texts Rows() const
    {
        Texts paths;
        for (unsigned row = 0; row < fileCount; ++row) paths.push_back(FileListPath(row));
        return paths;
    }

    HWND window = NULL;
    static inline int ends = 0;  // times leaving the main window would have ended the process
    void (*savedEndProgram)() = endProgram;
};
