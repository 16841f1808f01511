// How a run drives its workers, all on the thread that calls ConvertFiles:
// - Files start in list order, each as soon as a worker can take it: its
//   settings are taken, its output name is claimed (so names come out as in
//   a run of one file after another) and the job is sent to an idle worker.
//   A run whose files are all known at its start also queues a file behind
//   the one a busy worker converts, so that no worker waits for the run
//   between files; a queued file whose worker ends before it began is sent
//   again.
// - A worker says how many megapixels the image has once it has read the
//   header, which lengthens the file's time allowance, and then how the file
//   ended. The run waits for the workers to say something or end until the
//   nearest deadline, and reads what each worker said before it judges a
//   deadline.
// - A worker that ends without an answer has crashed; one past its deadline
//   is killed. Its file fails, nothing stays at its output name, and a new
//   worker is started when a file needs one.
// - Outcomes arrive in any order; they are kept and recorded (counted,
//   logged, sources deleted) in list order. A failed file gives its name
//   back, and the next written file of that name moves down to it as it is
//   recorded, so that the names are those of a run of one file after another.
#include "engine/worker_pool.h"

#include <windows.h>
#include <ntsecapi.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "engine/conversion_limits.h"
#include "engine/convert_file.h"
#include "engine/formats.h"
#include "engine/image_converter.h"
#include "engine/worker_main.h"
#include "engine/worker_messages.h"
#include "lang/caption_numbers.h"
#include "lang/language_file.h"
#include "platform/host_file.h"
#include "platform/host_socket.h"
#include "platform/interrupt.h"
#include "platform/worker_process.h"

unsigned long long MemoryLimit(unsigned workers)
{
    if (conversionLimits.memoryBytes) return conversionLimits.memoryBytes;
    MEMORYSTATUSEX memory = {sizeof memory};
    GlobalMemoryStatusEx(&memory);
    return memory.ullTotalPhys / 4 * 3 / workers;
}

namespace {

// At most this many, whatever the settings ask for.
const unsigned mostWorkers = 32;

const unsigned noFile = ~0u;

// How long a wait lasts at most, so that an interrupt is seen soon.
const DWORD longestWait = 200;

struct Worker {
    WorkerChannel channel;
    MessageBuffer answers;
    bool busy;
    unsigned file;            // while busy
    unsigned next = noFile;   // queued behind it, not begun
    ConversionStage stage;    // of the job, as the worker last said
    ULONGLONG started;        // tick of the stage's start
    ULONGLONG allowed;        // milliseconds from the stage's start
};

// What the log says of a file whose worker ran out of time or ended without
// an answer, by the step it was in.
const int tooLongCaptions[] = {CaptionDecodingTooLong, CaptionTurningTooLong, CaptionResizingTooLong,
                               CaptionSavingTooLong, CaptionCheckingTooLong};
const int crashedCaptions[] = {CaptionDecoderCrashed, CaptionTurningCrashed, CaptionResizingCrashed,
                               CaptionSavingCrashed, CaptionCheckingCrashed};

struct RunFile {
    FileStart start;
    ConversionJob job;
    ClaimedName claim;
    unsigned long long sourceBytes;
    bool ended;
    JobOutcome outcome;
};

// A worker process started on a thread of its own, so that the program goes
// on meanwhile (a Wine process takes long to start); the run greets it once
// it is ready.
struct WorkerStart {
    std::string secret;
    Worker worker;
    bool started;
    HANDLE thread;
};

// Started by StartWorkerEarly for the next run.
std::unique_ptr<WorkerStart> earlyStart;

struct Run {
    ImageChange change;
    bool ahead;   // files may be queued behind busy workers
    unsigned workerLimit;
    std::string secret;
    std::vector<Worker> workers;
    std::unique_ptr<WorkerStart> starting;   // the early worker, until the run takes it
    std::map<unsigned, RunFile> files;   // started and not yet recorded, by list position
    std::set<unsigned> unsent;           // claimed, to be sent again
    NameClaims names;
};

std::string NewSecret()
{
    // Not the cryptography library: loading it costs every worker's start.
    unsigned char bytes[16] = {};
    RtlGenRandom(bytes, sizeof bytes);
    std::string secret;
    for (unsigned char byte : bytes) secret += "0123456789abcdef"[byte >> 4], secret += "0123456789abcdef"[byte & 15];
    return secret;
}

// One per processor unless the user chose another number (tests choose
// several also where there is one processor).
unsigned WorkerLimit()
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    unsigned chosen = settings.workers > 0 ? (unsigned)settings.workers : system.dwNumberOfProcessors;
    return std::min(std::max(chosen, 1u), mostWorkers);
}

ULONGLONG Allowance(unsigned long long sourceBytes, unsigned long long megapixels)
{
    unsigned long long megabytes = (sourceBytes + 999999) / 1000000;
    return 1000ull * (conversionLimits.baseSeconds + conversionLimits.secondsPerMegabyte * megabytes +
                      conversionLimits.secondsPerMegapixel * megapixels);
}

void EndFile(Run& run, unsigned index, const JobOutcome& outcome)
{
    RunFile& file = run.files[index];
    file.ended = true;
    file.outcome = outcome;
    if (outcome.result != Ok && !file.claim.path.empty()) {
        run.names.freed[file.claim.family].insert(file.claim.number);
        ReleaseClaim(file.claim);
    }
}

Fields Hello(const Run& run)
{
    return {std::to_string(HelloMessage), run.secret, std::to_string(conversionLimits.pixels),
            std::to_string(conversionLimits.side), std::to_string(MemoryLimit(run.workerLimit)),
            std::to_string(workerFault)};
}

DWORD WINAPI StartWorkerMeanwhile(LPVOID parameter)
{
    WorkerStart& start = *(WorkerStart*)parameter;
    std::string failure;
    start.started = StartWorkerProcess(start.secret, start.worker.channel, failure);
    return 0;
}

// Takes in the worker started early once it is ready; one that could not be
// started is left out: the first file then starts one itself and reports why
// it cannot.
void FinishWorkerStart(Run& run)
{
    if (!run.starting) return;
    WaitForSingleObject(run.starting->thread, INFINITE);
    CloseHandle(run.starting->thread);
    Worker& worker = run.starting->worker;
    if (run.starting->started && SendFields(worker.channel, Hello(run)))
        run.workers.push_back(worker);
    else
        CloseWorkerChannel(worker.channel);
    run.starting.reset();
}

bool StartWorker(Run& run, std::string& failure)
{
    Worker worker = {};
    if (!StartWorkerProcess(run.secret, worker.channel, failure)) return false;
    if (!SendFields(worker.channel, Hello(run))) {
        CloseWorkerChannel(worker.channel);
        failure = Caption(CaptionWorkerEndedAtOnce);
        return false;
    }
    run.workers.push_back(worker);
    return true;
}

bool HasRoom(const Run& run)
{
    if (run.workers.size() < run.workerLimit) return true;
    for (const Worker& worker : run.workers)
        if (!worker.busy || (run.ahead && worker.next == noFile)) return true;
    return false;
}

bool Busy(const Run& run)
{
    for (const Worker& worker : run.workers)
        if (worker.busy) return true;
    return false;
}

void BeginFile(Run& run, Worker& worker, unsigned index)
{
    worker.busy = true;
    worker.file = index;
    worker.stage = DecodingStage;
    worker.started = GetTickCount64();
    worker.allowed = Allowance(run.files[index].sourceBytes, 0);
}

// Hands the file's job to an idle worker, to a new one while there is room
// for one, or else behind the file a worker converts; a worker found to have
// ended while idle is replaced once.
bool SendJob(Run& run, unsigned index, std::string& failure)
{
    FinishWorkerStart(run);
    Fields job = JobFields(run.files[index].job);
    for (int attempt = 0; attempt < 2; attempt++) {
        auto idle = std::find_if(run.workers.begin(), run.workers.end(), [](const Worker& w) { return !w.busy; });
        if (idle == run.workers.end() && run.workers.size() >= run.workerLimit) {
            auto busy = std::find_if(run.workers.begin(), run.workers.end(),
                                     [](const Worker& w) { return w.next == noFile; });
            // Sent or not, the file is the worker's: one that has ended gives
            // it back as it is found to have ended.
            SendFields(busy->channel, job);
            busy->next = index;
            return true;
        }
        if (idle == run.workers.end()) {
            if (!StartWorker(run, failure)) return false;
            idle = run.workers.end() - 1;
        }
        if (SendFields(idle->channel, job)) {
            BeginFile(run, *idle, index);
            return true;
        }
        CloseWorkerChannel(idle->channel);
        run.workers.erase(idle);
        failure = Caption(CaptionWorkerEnded);
    }
    return false;
}

void StartFile(Run& run, unsigned index, const FileStart& start)
{
    RunFile& file = run.files[index];
    file.start = start;
    const std::string& path = start.inputPath;
    std::string failure = start.failure;
    int result = OpenFailed;
    if (failure.empty() && path.size() >= inputPathLimit)
        failure = Caption(CaptionPathTooLong);
    if (failure.empty() && !WindowsKeepsNames(path)) failure = Caption(CaptionInexactName);
    unsigned long long bytes = 0;
    std::string hostPath;
    if (failure.empty() && HostFileKindOf(path.c_str(), &bytes, &hostPath) == OtherHostFile)
        failure = Caption(CaptionNotAnImageFile);
    if (failure.empty() && !ClaimOutputName(path, start.settings, run.names, file.claim, failure))
        result = SaveFailed;
    if (failure.empty()) {
        file.sourceBytes = bytes;
        const ConversionSettings& with = start.settings;
        ConversionJob& job = file.job;
        job = {path, file.claim.path, SaveFlags(with.saveOption), 0, run.change, with.deleteOriginal};
        if (with.outputFormat == FormatWbmp) job.bilevelMethod = BilevelMethodForOption(with.saveOption);
        job.turnUpright = with.turnUpright;
        job.inputHostPath = hostPath;
        job.outputHostPath = file.claim.hostPath;
        if (SendJob(run, index, failure)) return;
        failure = CaptionWith(CaptionJobNotStarted, {failure});
        result = SaveFailed;
    }
    EndFile(run, index, {result, false, failure});
}

// Takes in everything the worker has said so far. False when the worker is
// to be given up: it said something that is none of its messages, or that
// it takes no further file.
bool ReadAnswers(Run& run, Worker& worker)
{
    Fields fields;
    while (worker.busy) {
        TakenMessage taken = TakeFields(worker.answers, fields);
        if (taken == NotAMessage) return false;
        if (taken == NoMessage) break;
        JobOutcome outcome;
        if (FieldNumber(fields, 0) == StageMessage) {
            auto stage = (ConversionStage)std::min(FieldNumber(fields, 1), (unsigned long long)CheckingStage);
            // A step's time counts from when the worker began it; decoding
            // includes the reading of the header.
            if (stage != worker.stage) worker.started = std::min((ULONGLONG)FieldNumber(fields, 3), GetTickCount64());
            worker.stage = stage;
            worker.allowed = Allowance(stage == DecodingStage ? run.files[worker.file].sourceBytes : 0,
                                       FieldNumber(fields, 2));
        }
        if (OutcomeFromFields(fields, outcome)) {
            if (outcome.result != Ok) outcome.message = FailureText(outcome.result, outcome.message);
            EndFile(run, worker.file, outcome);
            worker.busy = false;
            if (outcome.workerEnds) return false;
            if (worker.next != noFile) BeginFile(run, worker, worker.next);
            worker.next = noFile;
        }
    }
    return true;
}

// Ends a worker for good; its file, if it has one, fails with `reason`.
void EndWorker(Run& run, Worker& worker, const std::string& reason)
{
    TerminateProcess(worker.channel.process, 1);
    // Ended before its output is removed, so that nothing writes there afterwards.
    WaitForSingleObject(worker.channel.process, 10000);
    if (worker.busy) EndFile(run, worker.file, {OpenFailed, false, reason});
    worker.busy = false;
}

// Waits until a worker says something, ends, or runs out of time, or the
// user interrupts the run.
void AwaitWorkers(Run& run)
{
    std::vector<int> sockets;
    ULONGLONG now = GetTickCount64(), wait = longestWait;
    for (const Worker& worker : run.workers) {
        if (!worker.busy) continue;
        sockets.push_back(worker.channel.socket);
        ULONGLONG deadline = worker.started + worker.allowed;
        wait = std::min(wait, deadline > now ? deadline - now : 0);
    }
    bool woken = AwaitSockets(sockets, (unsigned)wait);

    now = GetTickCount64();
    for (size_t i = 0; i < run.workers.size();) {
        Worker& worker = run.workers[i];
        bool open = ReceiveBytes(worker.channel.socket, worker.answers.bytes, false);
        bool trusted = ReadAnswers(run, worker);
        // A worker's end of its socket closes as it ends, unless a process
        // started meanwhile by something else holds it too: after a wait that
        // ran out the process itself is looked at, which costs a call to the
        // Wine server.
        bool ended = !open || (!woken && WaitForSingleObject(worker.channel.process, 0) == WAIT_OBJECT_0);
        std::string seconds = std::to_string(worker.allowed / 1000);
        if (InterruptSignal())
            EndWorker(run, worker, Caption(CaptionInterruptedFile));
        else if (!trusted)
            EndWorker(run, worker, Caption(crashedCaptions[worker.stage]));
        else if (worker.busy && ended)
            EndFile(run, worker.file, {OpenFailed, false, Caption(crashedCaptions[worker.stage])});
        else if (worker.busy && now >= worker.started + worker.allowed)
            EndWorker(run, worker, CaptionWith(tooLongCaptions[worker.stage], {seconds}));
        else if (!ended) {
            i++;
            continue;
        }
        if (worker.next != noFile) run.unsent.insert(worker.next);
        CloseWorkerChannel(worker.channel);
        run.workers.erase(run.workers.begin() + i);
    }
}

// A file given back by a worker that ended before it began the file is sent
// again; in an interrupted run it is left as not started.
void SendAgain(Run& run)
{
    unsigned index = *run.unsent.begin();
    run.unsent.erase(run.unsent.begin());
    std::string failure;
    if (InterruptSignal()) {
        EndFile(run, index, {OpenFailed, false, ""});
        run.files.erase(index);
    } else if (!SendJob(run, index, failure)) {
        EndFile(run, index, {SaveFailed, false, CaptionWith(CaptionJobNotStarted, {failure})});
    }
}

void RecordEnded(Run& run, const FileEnded& fileEnded)
{
    // The first file not yet recorded holds back those after it.
    for (auto file = run.files.begin(); file != run.files.end() && file->second.ended; file = run.files.erase(file)) {
        ClaimedName& claim = file->second.claim;
        if (file->second.outcome.result == Ok) SettleName(claim, run.names);
        RecordOutcome(file->second.start.inputPath, file->second.start.settings, file->second.outcome);
        if (fileEnded) fileEnded(file->first, file->second.outcome);
    }
}

} // namespace

void ConvertFiles(const ImageChange& change, const NextFile& nextFile, const FileEnded& fileEnded, bool ahead)
{
    Run run = {change, ahead, WorkerLimit(), earlyStart ? earlyStart->secret : NewSecret()};
    run.starting = std::move(earlyStart);
    bool more = true;
    for (unsigned next = 0;;) {
        // An interrupted run starts no further file; those in hand are ended.
        if (InterruptSignal()) more = false;
        while ((more || !run.unsent.empty()) && HasRoom(run)) {
            FileStart start;
            if (!run.unsent.empty())
                SendAgain(run);
            else if ((more = nextFile(next, start)))
                StartFile(run, next++, start);
            RecordEnded(run, fileEnded);
        }
        if (!Busy(run)) break;
        AwaitWorkers(run);
        RecordEnded(run, fileEnded);
    }
    // Closing its socket ends a worker.
    FinishWorkerStart(run);
    for (Worker& worker : run.workers) CloseWorkerChannel(worker.channel);
}

void StartWorkerEarly()
{
    if (earlyStart) return;
    earlyStart.reset(new WorkerStart{NewSecret(), {}, false, NULL});
    earlyStart->thread = CreateThread(NULL, 0, StartWorkerMeanwhile, earlyStart.get(), 0, NULL);
    if (!earlyStart->thread) earlyStart.reset();
}

void LetEarlyWorkerGo()
{
    if (!earlyStart) return;
    WaitForSingleObject(earlyStart->thread, INFINITE);
    CloseHandle(earlyStart->thread);
    CloseWorkerChannel(earlyStart->worker.channel);
    earlyStart.reset();
}
