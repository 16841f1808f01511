// The program's real dialogs from their templates, opened in-process, with
// every piece of process-wide state they touch put back afterwards.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <map>
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
    bool Checked(int id) const { return IsDlgButtonChecked(window, id) == BST_CHECKED; }
    void Command(int id, int code = 0) { SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), (LPARAM)Item(id)); }
    // What a click on a check box does.
    void SetSwitch(int id, bool on) { CheckDlgButton(window, id, on); Command(id, BN_CLICKED); }

    // The text a tip that asks for its text gets from the window.
    std::string AskedTip(int id) const
    {
        NMTTDISPINFOA info = {};
        info.hdr = {Item(id), (UINT_PTR)Item(id), (UINT)TTN_GETDISPINFOA};
        SendMessageA(window, WM_NOTIFY, 0, (LPARAM)&info);
        return info.lpszText ? info.lpszText : "";
    }

    std::string Text(int id) const { char text[1000]; return {text, (size_t)GetDlgItemTextA(window, id, text, 1000)}; }

    // The window's tips by control: their texts, and how long each shows.
    struct ShownTip { std::string text; LRESULT showTime; };
    std::map<int, ShownTip> Tips() const
    {
        std::map<int, ShownTip> tips;
        for (HWND tip = NULL; (tip = FindWindowExA(NULL, tip, TOOLTIPS_CLASSA, NULL));) {
            char text[1000] = "";
            TTTOOLINFOA tool = {TTTOOLINFOA_V1_SIZE};
            tool.lpszText = text;
            if (GetWindow(tip, GW_OWNER) != window || !SendMessageA(tip, TTM_ENUMTOOLSA, 0, (LPARAM)&tool)) continue;
            int id = GetDlgCtrlID(tool.uFlags & TTF_IDISHWND ? (HWND)tool.uId : tool.hwnd);
            tips[id] = {text, SendMessageA(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0)};
        }
        return tips;
    }
    std::string Tip(int id) const { return Tips()[id].text; }

    // What choosing an entry of a drop-down list does; of equal entries, the first.
    void Choose(int id, const std::string& entry)
    {
        SendMessageA(Item(id), CB_SETCURSEL, SendMessageA(Item(id), CB_FINDSTRINGEXACT, -1, (LPARAM)entry.c_str()), 0);
        Command(id, CBN_SELCHANGE);
    }

    void ChooseFormat(int format) { Choose(IDC_FORMAT, Caption(CaptionFormatNames + format)); }

    // The entries of a drop-down list, in order.
    Texts Entries(int id) const
    {
        Texts entries(SendMessageA(Item(id), CB_GETCOUNT, 0, 0));
        for (size_t i = 0; i < entries.size(); ++i) {
            char text[200] = "";
            SendMessageA(Item(id), CB_GETLBTEXT, i, (LPARAM)text);
            entries[i] = text;
        }
        return entries;
    }
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
