// The main window's file list: one row per input file, in the order added.
// `fileCount` (ui/main_window.h) always equals the number of rows.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>

#include <string>
#include <vector>

// Longest path the list takes; a longer one is left out, never cut.
const size_t maxInputPath = 1999;

// Adds rows for one of two forms of input: a single path ended by a NUL, or
// the open dialog's multi-selection form (a directory, then names each ended
// by a NUL, then one more NUL). A single path is added only when its text
// holds a supported extension; otherwise the text is taken as the directory
// of a multi-selection and each of its names is added after it.
void AddFilesToList(const char* input);

// The Add Files dialog: a multi-selection open dialog over supported types.
void ShowAddFilesDialog();

// Adds the supported files among those dropped on the window, in drop order,
// and releases the drop.
void AddDroppedFiles(HDROP drop);

// Advanced mode: adds the -inputone file or the files of the -inputmulti
// list named in `savedCommandLine`, and deletes brwk.dat beside the program
// after a list was read. Reports a missing or unreadable input.
void AddFilesFromCommandLine();

// The Windows path of a row, which shows the path as the user knows it (the
// host's form); empty for a row that does not exist.
std::string FileListPath(unsigned row);

// A row is going (LVN_DELETEITEM): its path goes with it.
void FileListRowDeleted(const NMLISTVIEW* row);

// Removes the selected rows; the others keep their order.
void RemoveSelectedFiles();

// Removes the rows numbered in `rows`, ascending; the others keep their order.
void RemoveRows(const std::vector<unsigned>& rows);

// Selects every row.
void SelectAllFiles();

// The list's tip at a point of its client area: the full path of a row that
// its column shows cut short, otherwise `general`.
std::string FileListTipAt(POINT point, const char* general);

// Gives the list its tooltip, whose text the main window takes from
// FileListTipAt; the tip follows the mouse from row to row.
void CreateFileListTooltip();

// The list's one column, as the window opens.
const int fileListColumnWidth = 490;

// Sets the column's width and header (caption of the current language), and
// the list's extended style to exactly grid lines and full-row selection;
// `insert` creates the column first.
void SetFileListColumn(int width, bool insert = false);

// Sets the column's header to the caption of the current language; its
// width stays.
void SetFileListHeader();
