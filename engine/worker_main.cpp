// The worker role: one file after another as the run sends them, each
// through the pipeline, with the file's size checked against the limits
// before any pixels are decoded.
#include "engine/worker_main.h"

#include <algorithm>
#include <new>

#include "engine/conversion_limits.h"
#include "engine/convert_file.h"
#include "engine/image_converter.h"
#include "engine/worker_messages.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "platform/worker_process.h"

WorkerFault workerFault = NoWorkerFault;

namespace {

WorkerChannel channel;
MessageBuffer jobs;
unsigned long long memoryLimit;

// The output of the job in hand until its outcome is sent: if the run goes
// away meanwhile, nothing half written stays there.
SRWLOCK outputLock = SRWLOCK_INIT;
std::string unansweredOutput;

void SetUnanswered(const std::string& output)
{
    AcquireSRWLockExclusive(&outputLock);
    unansweredOutput = output;
    ReleaseSRWLockExclusive(&outputLock);
}

// A crash ends the process quietly; the run reports it. Without this, the
// system would start a debugger or show a crash window.
LONG WINAPI EndQuietly(EXCEPTION_POINTERS*)
{
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

DWORD WINAPI WatchRun(LPVOID)
{
    WaitForSingleObject(channel.process, INFINITE);
    AcquireSRWLockExclusive(&outputLock);
    if (!unansweredOutput.empty()) DeleteFileA(unansweredOutput.c_str());
    TerminateProcess(GetCurrentProcess(), 2);
    return 0;
}

unsigned long long Scaled(unsigned long long size, int percent)
{
    return percent > 0 ? size * percent / 100 : 0;
}

unsigned long long Megapixels(unsigned long long pixels)
{
    return (pixels + 999999) / 1000000;
}

// Tells the run the step the job enters and what it costs, so that the run
// gives the step its time and names it if it runs over.
void TellStage(ConversionStage stage, unsigned long long pixels)
{
    SendFields(channel, {std::to_string(StageMessage), std::to_string(stage),
                         std::to_string(Megapixels(pixels)), std::to_string(GetTickCount64())});
    if (stage == TurningStage && workerFault == HangWhileTurningFault) Sleep(INFINITE);
}

// The limits, before the pipeline allocates anything: the requested size, and
// the size the image declares, where its format can be read without its
// pixels. Tells the run the megapixels the decoding will cost.
std::string CheckSize(const ConversionJob& job)
{
    const ImageChange& change = job.change;
    unsigned long long width = 0, height = 0;
    if (FreeImage_FIFSupportsNoPixels(imageConverter.inputFormat)) {
        std::string host = HostPath(job.inputPath.c_str());
        FIBITMAP* header = FreeImage_Load(imageConverter.inputFormat, host.c_str(), FIF_LOAD_NOPIXELS);
        if (header) {
            width = FreeImage_GetWidth(header);
            height = FreeImage_GetHeight(header);
            FreeImage_Unload(header);
        }
    }
    std::string beyond = SizeBeyondLimits(CaptionDeclaredBeyondLimits, width, height);
    if (!beyond.empty()) return beyond;
    TellStage(DecodingStage, width * height);

    // A resize in percent scales the turned picture.
    if (change.rotate) TurnedSize(width, height, change.degrees, width, height);
    unsigned long long outWidth = 0, outHeight = 0;
    if (change.resize && change.resizeUnit == Pixels && change.width > 0 && change.height > 0) {
        outWidth = change.width;
        outHeight = change.height;
    } else if (change.resize && change.resizeUnit == Percentage) {
        outWidth = Scaled(width, change.width);
        outHeight = Scaled(height, change.height);
    }
    return SizeBeyondLimits(CaptionResizedBeyondLimits, outWidth, outHeight);
}

// As a damaged file would do it, at the start of a job. A process in which
// the library failed or complained counts as damaged from then on, as one
// whose heap a decoder overran.
void BringAboutFault()
{
    volatile int zero = 0;
    bool damaged = freeImageMessageCount > 0 || !imageConverter.errorReport.empty();
    if (workerFault == NullWriteFault || (workerFault == CrashIfReusedFault && damaged))
        *(volatile int*)(ULONG_PTR)zero = 1;
    volatile int one = 1;
    if (workerFault == DivideByZeroFault) zero = one / zero;
}

JobOutcome ConvertJob(const ConversionJob& job)
{
    imageConverter.inputPath = job.inputPath.c_str();
    int result = imageConverter.ProbeInput();
    if (result != Ok)
        return {result, false, result == UnknownFormat ? "Unknown image format" : "This image format cannot be read"};
    std::string beyond = CheckSize(job);
    if (!beyond.empty()) return {OpenFailed, false, beyond};

    imageConverter.outputPath = job.outputPath.c_str();
    imageConverter.bilevelMethod = job.bilevelMethod;
    imageConverter.turnUpright = job.turnUpright;
    const ImageChange& c = job.change;
    result = imageConverter.Convert(job.saveFlags, c.resize, c.resizeUnit, c.width, c.height, c.rotate,
                                    c.rotateDirection, c.degrees);
    if (result != Ok) {
        // The report without its path, which the run puts in front again.
        std::string prefix = FailureReport(job.inputPath, "");
        return {result, false, imageConverter.errorReport.substr(prefix.size())};
    }
    JobOutcome outcome = {Ok, false, std::string(), imageConverter.note};
    outcome.damage = imageConverter.damage;
    // A damaged source stays whatever its output proves, and is not read again.
    if (job.proveOutput && outcome.damage.empty()) {
        TellStage(CheckingStage, (unsigned long long)imageConverter.outputWidth * imageConverter.outputHeight);
        outcome.message = WhySourceMustStay(imageConverter, outcome.pictures);
        outcome.outputProven = outcome.pictures == 1 && outcome.message.empty();
    }
    return outcome;
}

} // namespace

void RunWorkerIfAsked()
{
    std::string secret;
    if (!TakeWorkerChannel(secret, channel)) return;
    Fields hello;
    if (!ReadFields(channel, jobs, hello) || FieldNumber(hello, 0) != HelloMessage || hello.size() != 6 ||
        (!secret.empty() && hello[1] != secret))
        ExitProcess(1);
    conversionLimits.pixels = FieldNumber(hello, 2);
    conversionLimits.side = FieldNumber(hello, 3);
    memoryLimit = FieldNumber(hello, 4);
    workerFault = (WorkerFault)FieldNumber(hello, 5);
    PrepareWorkerProcess(memoryLimit);

    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndQuietly);
    CloseHandle(CreateThread(NULL, 0, WatchRun, NULL, 0, NULL));
    imageConverter.stageStarted = TellStage;

    Fields fields;
    ConversionJob job;
    while (ReadFields(channel, jobs, fields) && JobFromFields(fields, job)) {
        SetUnanswered(job.outputPath);
        unsigned long long messagesBefore = freeImageMessageCount;
        JobOutcome outcome;
        RememberHostPaths(true);
        RememberHostPath(job.inputPath, job.inputHostPath);
        RememberHostPath(job.outputPath, job.outputHostPath);
        try {
            BringAboutFault();
            outcome = ConvertJob(job);
        } catch (const std::bad_alloc&) {
            outcome = {OpenFailed, false, CaptionLater(CaptionNeedsMoreMemory, {std::to_string(memoryLimit >> 20)})};
        }
        RememberHostPaths(false);
        imageConverter.inputPath = imageConverter.outputPath = nullptr;
        SetUnanswered(std::string());
        // A decoder that failed or complained may have damaged this process
        // (a heap overrun need not crash it), so the next file gets a fresh
        // one. Files that convert cleanly, the usual case, keep the worker,
        // and so do files that no decoder recognised.
        bool unclean = outcome.result != Ok || !outcome.message.empty();
        bool recognised = outcome.result != UnknownFormat && outcome.result != Unreadable;
        outcome.workerEnds = (unclean && recognised) || freeImageMessageCount != messagesBefore;
        if (!SendFields(channel, OutcomeFields(outcome)) || outcome.workerEnds) break;
    }
    // Not ExitProcess: its clean-up would walk a heap that may be damaged.
    TerminateProcess(GetCurrentProcess(), 0);
}
