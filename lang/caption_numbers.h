// Caption numbers: where each text of the language file is used. The save
// options' names are captions too; their numbers stand in the option table
// (engine/formats.h). Numbers not named here are read but shown nowhere.
#pragma once

enum CaptionNumber {
    CaptionConvertButton = 0,
    CaptionAddFilesButton = 1,
    CaptionRemoveFilesButton = 2,
    CaptionFileMenu = 7,
    CaptionConvertItem = 8,
    CaptionAddFilesItem = 9,
    CaptionRemoveFilesItem = 10,
    CaptionExitItem = 11,
    CaptionHelpMenu = 12,
    CaptionContentsItem = 13,
    CaptionMailItem = 15,
    CaptionWebsiteItem = 16,
    CaptionAboutItem = 17,
    CaptionOutputGroup = 18,
    CaptionOptionsGroup = 19,
    CaptionFileListHeader = 20,
    CaptionResizeGroup = 21,
    CaptionRotateGroup = 22,
    CaptionFormatSelectorTip = 89,
    CaptionOptionSelectorTip = 90,
    CaptionFileListTip = 91,
    CaptionConvertTip = 92,
    CaptionAddFilesTip = 93,
    CaptionRemoveFilesTip = 94,
    CaptionProgressTip = 95,
    CaptionNoInputOnePath = 96,
    CaptionNoInputMultiPath = 97,
    CaptionListFileUnreadable = 98,
    CaptionNoInput = 99,
    CaptionCloseDuringRun = 100,
    CaptionRefusedDuringRun = 101,
    CaptionEmptyList = 102,
    CaptionStopRun = 104,
    CaptionRunStopped = 105,
    CaptionShowLog = 106,
    CaptionNoOutputFormat = 107,
    CaptionNoSaveOption = 108,
    CaptionStopCommand = 109,       // the Convert button and menu item during a run
    CaptionRunFinished = 110,
    CaptionSummaryConverted = 111,
    CaptionSummaryFailed = 112,
    CaptionLogConverted = 113,
    CaptionLogFailed = 114,
    CaptionAllConverted = 115,
    CaptionSettingsUnwritable = 116,
    CaptionAddFilesTitle = 117,
    CaptionHelpDocument = 118,
    CaptionSaveDefaultQuestion = 120,
    CaptionSaveDefaultItem = 121,
    CaptionOptionsMenu = 122,
    CaptionPreferencesItem = 123,
    CaptionResizeSwitch = 124,
    CaptionRotateSwitch = 125,
    CaptionStopping = 128,
    CaptionFileOfCount = 129,       // %1 of %2: %3, the file's name
    CaptionStoppedCounts = 130,     // %1 converted, %2 failed, %3 not started
    CaptionLogQuestion = 131,
    // Notes in the log on a converted file, and what the summary says of them.
    CaptionDamagedSource = 260,     // %1 what the decoder said
    CaptionDamagedSourceKept = 261,
    CaptionPicturesSourceKept = 262, // %1 the number of pictures
    CaptionNotedCount = 263,        // %1 the converted files with a note
    CaptionStopTip = 264,           // the Convert button's tooltip during a run
    CaptionTurnUprightSwitch = 300, // Preferences
    CaptionTurnUprightTip = 301,
    CaptionExifUnreadable = 302,    // log note on a converted file
    // The command line's own texts.
    CaptionNoSuchFile = 330,        // %1 the name
    CaptionUnknownSwitch = 331,     // %1 the word
    CaptionConvertToUsage = 332,
    CaptionNameNotUtf8 = 333,
    CaptionVersion = 334,           // %1 the version number
    CaptionUsageFirst = 335,        // bramblewick --help, a caption a line (%1 the formats, %2 the save options)
    CaptionUsageLast = 353,
    // What add-file-manager-actions says (it reads these numbers itself).
    CaptionActionsNautilusAdded = 354, // %1 the folder of the scripts
    CaptionActionsThunarAdded = 355,   // %1 the actions' file
    CaptionActionsRemoved = 356,       // %1 the scripts' folder, %2 the actions' file
    CaptionActionsUnreadable = 357,    // %1 the file, %2 why
    CaptionActionsNotOurs = 358,       // %1 the file
    CaptionActionsUsage = 359,
    // Why a file failed, by the step it was in: too slow, then crashed.
    CaptionDecodingTooLong = 310,   // %1 seconds
    CaptionTurningTooLong = 311,
    CaptionResizingTooLong = 312,
    CaptionSavingTooLong = 313,
    CaptionCheckingTooLong = 314,
    CaptionDecoderCrashed = 315,
    CaptionTurningCrashed = 316,
    CaptionResizingCrashed = 317,
    CaptionSavingCrashed = 318,
    CaptionCheckingCrashed = 319,
    CaptionInterruptedFile = 320,
    CaptionInterrupted = 321,       // %1 converted, %2 failed, %3 not started
    CaptionDeviceName = 322,
    // What is wrong with a value of the command line.
    CaptionOutputFormatRange = 380,   // %1 the number of formats, %2 their list
    CaptionFormatHasNoOptions = 381,  // %1 the format, %2 the option given; a note only
    CaptionOptionOfOtherFormat = 382, // and %3 to %4 the format's own; a note only
    CaptionNoResizeType = 383,
    CaptionNoResizeSize = 384,
    CaptionNoRotateDirection = 385,
    CaptionNoRotateDegrees = 386,
    // Why a file failed, in words of our own: %1 x %2 the size, %3 the
    // megapixels and %4 the pixels a side allowed; then the rest.
    CaptionDeclaredBeyondLimits = 387,
    CaptionTurnedBeyondLimits = 388,
    CaptionResizedBeyondLimits = 389,
    CaptionNeedsMoreMemory = 390,    // %1 megabytes
    CaptionNoOutputFormatOfName = 391,
    CaptionPicturesUncounted = 392,
    CaptionNotReadBack = 393,        // %1 the converted file, %2 how it reads
    CaptionOutputNotCreated = 394,   // %1 the converted file, %2 the system's words
    CaptionWorkerEndedAtOnce = 395,
    CaptionWorkerEnded = 396,
    // The main window's own texts.
    CaptionResizeTip = 132,
    CaptionWidthTip = 133,
    CaptionHeightTip = 134,
    CaptionResizeModeTip = 135,
    CaptionRotateTip = 136,
    CaptionDegreesTip = 137,
    CaptionDirectionTip = 138,
    CaptionPercentage = 139,        // the resize-mode entries, in list order
    CaptionPixels = 140,
    CaptionLeft = 141,              // the direction entries, in list order
    CaptionRight = 142,
    CaptionZeroSize = 143,
    CaptionZeroAngle = 144,
    CaptionNoMainWindow = 145,
    CaptionAboutText = 146,         // %1 the version
    CaptionAllPictures = 147,
    CaptionFilesNotAdded = 148,
    CaptionPreviousRunActive = 149,
    CaptionRunNotStarted = 150,
    CaptionGuideNotOpened = 151,    // %1 the guide's file
    // Output format k's name is caption CaptionFormatNames + k (k = 1 to 12).
    CaptionFormatNames = 151,
    // The Preferences dialog.
    CaptionPreferencesTitle = 164,
    CaptionUseOutputDirectory = 165,
    CaptionDeleteOriginal = 166,
    CaptionPreferencesOk = 167,
    CaptionOutputDirectoryTip = 168,
    CaptionDeleteOriginalTip = 169,
    CaptionDeleteOriginalWarning = 170,
    CaptionNoDirectory = 171,
    CaptionDirectoryTooLong = 172,
    CaptionBrowseTitle = 173,
    // The log window, and why a file failed by its ConvertResult: caption
    // CaptionFailureKinds + result (1 to 8).
    CaptionLogTitle = 174,
    CaptionLogOk = 175,
    CaptionErrorLabel = 176,
    CaptionFailureKinds = 176,
    CaptionNotDeleted = 185,        // %1 the source
    // Why an input is refused before its conversion starts.
    CaptionInexactName = 186,
    CaptionListTooLarge = 187,
    CaptionListLineTooLong = 188,
    CaptionPathTooLong = 189,
    CaptionNotAnImageFile = 190,
    CaptionJobNotStarted = 191,     // %1 why
    CaptionFileTypes = 192,         // the Add Files dialog's types, 24 captions from here
};
