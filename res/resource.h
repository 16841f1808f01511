// Resource and control numbers. The numbers are part of the program's
// interface (templates, menu, settings callers) and must stay as they are.
#pragma once

// Dialogs
#define IDD_MAIN                9
#define IDD_LOG                 134
#define IDD_PREFERENCES         135

// Menu and icon
#define IDR_MAIN_MENU           130
#define IDI_PROGRAM             136

// Main window controls
#define IDC_CONVERT             1204
#define IDC_ADD_FILES           1205
#define IDC_REMOVE_FILES        1206
#define IDC_HEIGHT              1223
#define IDC_WIDTH               1224
#define IDC_DEGREES             1225
#define IDC_PROGRESS            1236
#define IDC_FILE_LIST           1237
#define IDC_FORMAT              1242
#define IDC_OPTION              1243
#define IDC_OUTPUT_GROUP        1244
#define IDC_OPTIONS_GROUP       1245
#define IDC_RESIZE_GROUP        1246
#define IDC_ROTATE_GROUP        1247
#define IDC_RESIZE_MODE         1249
#define IDC_DIRECTION           1250
#define IDC_RESIZE              1257
#define IDC_ROTATE              1258
#define IDC_STATUS              1259

// Log window controls
#define IDC_LOG_TEXT            1243
#define IDC_LOG_OK              1204

// Preferences dialog controls
#define IDC_USE_OUTPUT_DIR      1253
#define IDC_OUTPUT_DIR          1254
#define IDC_BROWSE              1255
#define IDC_DELETE_ORIGINAL     1256
#define IDC_PREFERENCES_OK      1204
#define IDC_TURN_UPRIGHT        1300

// Menu commands
#define IDM_EXIT                40013
#define IDM_CONTENTS            40015
#define IDM_ABOUT               40017
#define IDM_WEBSITE             40020
#define IDM_CONVERT             40025
#define IDM_ADD_FILES           40026
#define IDM_REMOVE_FILES        40027
#define IDM_MAIL                40028
#define IDM_ENGLISH             40029
#define IDM_NORSK               40030
#define IDM_DEUTSCH             40031
#define IDM_SAVE_DEFAULT        40033
#define IDM_PREFERENCES         40036

// Messages the main window sends or posts to itself
#define WM_CONVERT_STATE        (WM_APP + 1)    // wParam: the Convert state a run asks for
#define WM_TAKE_FOCUS           (WM_APP + 2)    // once the window is shown after opening
#define WM_RESTORE_SIZE         (WM_APP + 3)    // after a size below the minimum was raised
#define WM_REMOVE_ROWS          (WM_APP + 4)    // lParam: the rows' numbers (std::vector<unsigned>*), ascending
