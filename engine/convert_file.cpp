// What a run does around each file: names claimed, outcomes counted and logged, sources deleted.
#include "engine/convert_file.h"

#include <cstring>
#include <vector>

#include "engine/formats.h"
#include "engine/image_converter.h"
#include "engine/image_file.h"
#include "engine/worker_messages.h"
#include "engine/worker_pool.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "platform/message_box.h"

unsigned convertedCount = 0;
unsigned failedCount = 0;
unsigned notedCount = 0;
std::string conversionLog;
std::string logWindowText;

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Position just after the last separator of a path (0 when it has none).
size_t FileNameStart(const std::string& path)
{
    size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? 0 : separator + 1;
}

// Creates every level of a directory, outermost first, ignoring failures
// (levels that exist, the drive root). Returns the directory rebuilt with one
// '\' after each component, so that a file name can be appended.
std::string CreateDirectories(const std::string& directory)
{
    std::string created;
    // A rooted or UNC path keeps its leading separators, else it would turn
    // into a path below the current directory.
    for (size_t i = 0; i < 2 && i < directory.size() && IsSeparator(directory[i]); i++) created += '\\';

    size_t position = 0;
    while (position < directory.size()) {
        size_t end = position;
        while (end < directory.size() && !IsSeparator(directory[end])) end++;
        if (end > position) {
            created.append(directory, position, end - position);
            created += '\\';
            CreateDirectoryA(created.c_str(), NULL);
        }
        position = end + 1;
    }
    return created;
}

// The output path without its extension, beside the source or in the
// output directory of `with`.
std::string OutputStem(const std::string& input, const ConversionSettings& with)
{
    size_t nameStart = FileNameStart(input);
    std::string base = input;
    if (with.useOutputDirectory) {
        std::string directory(with.outputDirectory, strnlen(with.outputDirectory, sizeof with.outputDirectory));
        // Only "X:\..." is a directory of its own; anything else, "X:/..."
        // included, names a subdirectory beside the source.
        bool driveAbsolute = directory.size() >= 3 && directory[1] == ':' && directory[2] == '\\';
        std::string target = driveAbsolute ? directory : input.substr(0, nameStart) + directory;
        base = CreateDirectories(target) + input.substr(nameStart);
    }
    // The extension is replaced within the file name only; a name without
    // one gets it appended.
    size_t dot = base.find_last_of('.');
    return (dot != std::string::npos && dot >= FileNameStart(base)) ? base.substr(0, dot) : base;
}

// The wide form, which has no MAX_PATH limit.
std::vector<WCHAR> Wide(const std::string& path)
{
    int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, NULL, 0);
    std::vector<WCHAR> wide(length > 0 ? length : 1, 0);
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), length);
    return wide;
}

// The name of the claim's family with the number.
std::string NumberedName(const ClaimedName& claim, unsigned number)
{
    std::string extension = claim.family.substr(claim.family.rfind('.'));
    std::string name = number == 0 ? claim.stem : claim.stem + "_" + std::to_string(number);
    return name + extension;
}

// Creates claim.path empty and exclusively, and remembers which file that is;
// else `error` says why. Where the host cannot tell, Wine decides, and its
// words are the ones the user reads.
bool CreateClaim(ClaimedName& claim, HostFolders& folders, DWORD& error)
{
    HostClaim host = ClaimHostName(folders, claim.path, claim.identity, claim.hostPath);
    error = ERROR_FILE_EXISTS;
    if (host != HostClaimUndecided) return host == HostClaimed;
    // Not followed: a link at the name is what occupies it.
    HANDLE file = CreateFileW(Wide(claim.path).data(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return false;
    }
    claim.identity = HostFileIdentityOf(claim.path);
    CloseHandle(file);
    return true;
}

// Only a name that is gone counts as deleted: a file system mounted read-only
// can refuse the deletion after it was reported as done.
bool DeleteSource(const std::string& path)
{
    std::vector<WCHAR> wide = Wide(path);
    DeleteFileW(wide.data());
    return GetFileAttributesW(wide.data()) == INVALID_FILE_ATTRIBUTES && GetLastError() == ERROR_FILE_NOT_FOUND;
}

void LogFailure(const std::string& report)
{
    conversionLog += report + "\r\n\r\n";
    failedCount++;
}

void ShowDeletionFailure(const char* inputPath)
{
    std::string text = CaptionWith(CaptionNotDeleted, {DisplayPath(inputPath)});
    // Owned by the window at the root of the current dialog's owner chain (the
    // main window during a batch run), which outlives a Preferences dialog
    // closed while the box is up.
    HWND owner = dialogWindow ? GetAncestor(dialogWindow, GA_ROOTOWNER) : NULL;
    ShowMessage(owner, text.c_str(), MB_OK | MB_ICONERROR);
}

} // namespace

bool ClaimOutputName(const std::string& inputPath, const ConversionSettings& with, NameClaims& names,
                     ClaimedName& claim, std::string& failure)
{
    std::string stem = OutputStem(inputPath, with);
    std::string extension = FormatExtension(with.outputFormat);
    std::string family = stem + "." + extension;
    // Names in one folder count up together whatever their case, as Windows
    // compares them; folders whose names differ in case are different ones
    // on the host.
    size_t nameStart = FileNameStart(family);
    CharLowerBuffA(&family[nameStart], (DWORD)(family.size() - nameStart));

    claim.stem = stem;
    claim.family = family;
    unsigned& number = names.numbers[family];
    for (;; number++) {
        claim.number = number;
        claim.path = NumberedName(claim, number);
        DWORD error;
        if (CreateClaim(claim, names.folders, error)) {
            number++;
            return true;
        }
        // A directory at the name refuses access rather than saying it exists.
        bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                     GetFileAttributesW(Wide(claim.path).data()) != INVALID_FILE_ATTRIBUTES;
        if (!taken) {
            failure = CaptionWith(CaptionOutputNotCreated, {DisplayPath(claim.path), SystemErrorText(error)});
            claim.path.clear();
            return false;
        }
    }
}

void ReleaseClaim(ClaimedName& claim)
{
    if (claim.path.empty()) return;
    if (HoldsHostFile(claim.path, claim.identity)) DeleteFileW(Wide(claim.path).data());
    claim.path.clear();
}

void SettleName(ClaimedName& claim, NameClaims& names)
{
    FreedNumbers& freed = names.freed[claim.family];
    for (auto lower = freed.begin(); lower != freed.end() && *lower < claim.number; lower = freed.erase(lower)) {
        ClaimedName target = claim;
        target.number = *lower;
        target.path = NumberedName(claim, *lower);
        DWORD error;
        // Someone else may have taken the name since it was given back.
        if (!CreateClaim(target, names.folders, error)) continue;
        // Replaces only the empty file just created.
        if (!MoveFileExW(Wide(claim.path).data(), Wide(target.path).data(), MOVEFILE_REPLACE_EXISTING)) {
            ReleaseClaim(target);
            continue;
        }
        freed.erase(lower);
        freed.insert(claim.number);
        // The written file, which keeps its identity under its new name.
        claim.number = target.number;
        claim.path = target.path;
        claim.hostPath = target.hostPath;
        return;
    }
}

void RecordOutcome(const std::string& inputPath, const ConversionSettings& with, JobOutcome& outcome)
{
    if (outcome.result != Ok) {
        LogFailure(FailureReport(inputPath, outcome.message));
        return;
    }
    bool damaged = !outcome.damage.empty(), morePictures = outcome.pictures > 1;
    // The file was written, but the user asked for the original to go and
    // the written file does not prove itself: that is logged as a failure,
    // so that the user is told why. What the source itself holds (damage,
    // further pictures) keeps it as a note on a converted file.
    if (with.deleteOriginal && !outcome.outputProven && !damaged && !morePictures) {
        RecordFailure(inputPath, InWords(outcome.message));
        return;
    }
    convertedCount++;
    std::vector<std::string> notes;
    if (outcome.note) notes.push_back(Caption(outcome.note));
    if (damaged) notes.push_back(CaptionWith(CaptionDamagedSource, {outcome.damage}));
    if (with.deleteOriginal && damaged) notes.push_back(Caption(CaptionDamagedSourceKept));
    else if (with.deleteOriginal && morePictures)
        notes.push_back(CaptionWith(CaptionPicturesSourceKept, {std::to_string(outcome.pictures)}));
    if (!notes.empty()) {
        notedCount++;
        conversionLog += DisplayPath(inputPath);
        for (const std::string& note : notes) conversionLog += "\r\n" + note;
        conversionLog += "\r\n\r\n";
    }
    if (!with.deleteOriginal || !outcome.outputProven) return;
    outcome.sourceDeleted = DeleteSource(inputPath);
    if (!outcome.sourceDeleted) ShowDeletionFailure(inputPath.c_str());
}

bool ConvertFile(const char* inputPath, const ConversionSettings& with, const ImageChange& change)
{
    bool written = false;
    ConvertFiles(
        change,
        [&](unsigned index, FileStart& file) {
            file.inputPath = inputPath;
            file.settings = with;
            return index == 0;
        },
        [&](unsigned, const JobOutcome& outcome) { written = outcome.result == Ok; });
    return written;
}

std::string WhySourceMustStay(const ImageConverter& converted, int& pictures)
{
    pictures = PageCount(converted.inputPath, converted.inputFormat);
    if (pictures == 0) return CaptionLater(CaptionPicturesUncounted, {});
    std::string why;
    if (pictures == 1 &&
        !ReadsBack(converted.outputPath, converted.outputFormat, converted.outputWidth, converted.outputHeight, why))
        return CaptionLater(CaptionNotReadBack, {DisplayPath(converted.outputPath), why});
    return std::string();
}

std::string FailureText(int result, const std::string& detail)
{
    // A reason of its own says all.
    if (IsCaptionLater(detail) || result < OpenFailed || result > PaletteFailed) return InWords(detail);
    std::string kind = Caption(CaptionFailureKinds + result);
    // The image library's own words say what is wrong with the file or the
    // disk; for the other kinds they repeat the kind in English.
    bool telling = (result == OpenFailed || result == SaveFailed) && !detail.empty();
    return telling ? kind + " (" + detail + ")" : kind;
}

void RecordFailure(const std::string& inputPath, const std::string& message)
{
    LogFailure(FailureReport(inputPath, message));
}
