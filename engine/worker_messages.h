// What a run and its worker processes say to each other.
// Every message is a list of text fields; numbers travel as decimal text.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "engine/conversion_settings.h"
#include "platform/worker_process.h"

// One file as a worker converts it.
struct ConversionJob {
    std::string inputPath;
    std::string outputPath;   // created empty by the run, to be written over
    int saveFlags;
    int bilevelMethod;
    ImageChange change;
    bool proveOutput;         // the source is to be deleted: read the output back first
    bool turnUpright;         // as the picture's EXIF orientation says
    // The paths' host forms as the run found them, so that the worker need
    // not ask Wine; empty where the run has none.
    std::string inputHostPath;
    std::string outputHostPath;
};

// How a file ended, as the worker (or the run, for a worker that died) tells it.
struct JobOutcome {
    int result;            // a ConvertResult
    bool outputProven;     // the output was read back: the source may go
    std::string message;   // the reason of a failure, in words
    int note;              // caption of a note on a converted file; 0 for none
    bool workerEnds;       // the worker takes no further file (it saw a failure)
    std::string damage;    // what the decoder said of damage it read past; empty for none
    int pictures;          // in the source, when they were counted for its deletion; else 0
    bool sourceDeleted;    // set as the outcome is recorded
};

typedef std::vector<std::string> Fields;

enum MessageKind {
    HelloMessage,   // parent to worker, first: the secret and the limits
    JobMessage,     // parent to worker: a ConversionJob
    StageMessage,   // worker to parent: the step the job enters, its megapixels, the tick it began
    DoneMessage,    // worker to parent: the JobOutcome
};

// What has been received beyond the messages taken from it.
struct MessageBuffer {
    std::string bytes;
};

// False when the other side has gone.
bool SendFields(const WorkerChannel& channel, const Fields& fields);
// Waits for the next message. False when the other side has gone or sent
// something that is none of the messages.
bool ReadFields(const WorkerChannel& channel, MessageBuffer& buffer, Fields& fields);
// The next whole message among the bytes received, without waiting.
enum TakenMessage { NoMessage, MessageTaken, NotAMessage };
TakenMessage TakeFields(MessageBuffer& buffer, Fields& fields);

Fields JobFields(const ConversionJob& job);
bool JobFromFields(const Fields& fields, ConversionJob& job);
Fields OutcomeFields(const JobOutcome& outcome);
bool OutcomeFromFields(const Fields& fields, JobOutcome& outcome);
// A field's number; 0 when it has none.
unsigned long long FieldNumber(const Fields& fields, size_t index);
