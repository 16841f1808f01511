// One input file as the run sees it: its output name, claimed before any
// worker writes it, and what its outcome does: counters, log, deletion of
// the source.
#pragma once
#include <windows.h>

#include <map>
#include <set>
#include <string>

#include "engine/conversion_settings.h"
#include "platform/host_claim.h"

class ImageConverter;
struct JobOutcome;

// Counters and log of the current run; the callers reset them.
extern unsigned convertedCount;
extern unsigned failedCount;
// Converted files with a note in the log.
extern unsigned notedCount;
// Per failure: report, then "\r\n\r\n"; per converted file with notes: its
// path, each note after "\r\n", then "\r\n\r\n".
extern std::string conversionLog;
// What the log window shows.
extern std::string logWindowText;

// Converts one file with the format, option, output directory and deletion
// switch of `with`, in a worker process; true when the output file was
// written. With deletion on, the source goes only when WhySourceMustStay
// finds no reason to keep it and the decoder met no damage.
bool ConvertFile(const char* inputPath, const ConversionSettings& with, const ImageChange& change);

// Why a file failed, in the user's language: the caption of the kind of
// failure (a ConvertResult), with the worker's detail where it says more.
std::string FailureText(int result, const std::string& detail);

// Counts a file that failed and logs its report (FailureReport).
void RecordFailure(const std::string& inputPath, const std::string& message);

// Input paths live in buffers of this size, terminating NUL included; a
// longer path would be cut and name another file.
const size_t inputPathLimit = 2000;

// A name created empty and exclusively for one output, and the file it named
// then, so that removing it never removes a file someone else made there
// since.
struct ClaimedName {
    std::string path;     // empty: nothing claimed
    std::string stem;     // the path without "_N" and extension
    std::string family;   // stem and extension, the file name in lower case: names that count up together
    unsigned number;      // 0 for the name without "_N"
    HostFileIdentity identity;
    std::string hostPath; // where the host created it; empty when Wine did
};

// Names of one family that files of this run claimed and gave back (their
// conversion failed), by number.
typedef std::set<unsigned> FreedNumbers;

// What a run has learnt of output names, per family.
struct NameClaims {
    // The first number not yet known to be taken, so that a thousand files
    // of one name do not each try every number from 1.
    std::map<std::string, unsigned> numbers;
    std::map<std::string, FreedNumbers> freed;
    HostFolders folders;
};

// Chooses the output name of an input as the output settings say and claims
// it: directories are created on the way, and the first name that nothing
// occupies (not even a link leading nowhere) is created empty. False, with
// the reason in `failure`, when no name could be created.
bool ClaimOutputName(const std::string& inputPath, const ConversionSettings& with, NameClaims& names,
                     ClaimedName& claim, std::string& failure);

// Removes the claimed file if it is still the one that was claimed.
void ReleaseClaim(ClaimedName& claim);

// Moves a written output to the lowest name its family freed below its own,
// if one can still be claimed, and gives its own name back instead. Outputs
// are settled in list order, so names come out as in a run of one file after
// another even when a file that failed had claimed a name before them.
void SettleName(ClaimedName& claim, NameClaims& names);

// Counts and logs a finished file; deletes its source when `with` says so
// and the worker proved the output (never for a damaged source), telling the
// user when that fails, and sets outcome.sourceDeleted when the source went.
// A source kept for its damage or for its further pictures is a note on a
// converted file; one kept because the written file is not proven, a failure.
void RecordOutcome(const std::string& inputPath, const ConversionSettings& with, JobOutcome& outcome);

// Counts the pictures of the source of a successful Convert into `pictures`
// (0 when they cannot be counted) and, for a single picture, reads the
// written file back. Why a source of a single picture must not be deleted,
// in words for the log: the pictures could not be counted, or the written
// file does not read back at the size it was written. Empty otherwise; with
// more pictures than one the source stays too.
std::string WhySourceMustStay(const ImageConverter& converted, int& pictures);
