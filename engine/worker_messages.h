// What a run and its worker processes say to each other over their pipes.
// Every message is a list of text fields; numbers travel as decimal text.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "engine/conversion_settings.h"

// One file as a worker converts it.
struct ConversionJob {
    std::string inputPath;
    std::string outputPath;   // created empty by the run, to be written over
    int saveFlags;
    int bilevelMethod;
    ImageChange change;
    bool proveOutput;         // the source is to be deleted: read the output back first
    bool turnUpright;         // as the picture's EXIF orientation says
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

// What has been read from a pipe beyond the messages taken from it.
struct MessageBuffer {
    std::string bytes;
};

// False when the pipe is broken (the other side has gone). A read takes in
// everything that has arrived, so that messages sent together cost one read;
// it waits only while no whole message is there.
bool WriteFields(HANDLE pipe, const Fields& fields);
bool ReadFields(HANDLE pipe, MessageBuffer& buffer, Fields& fields);
// True when a read would find something to take at once.
bool MessageWaiting(HANDLE pipe, const MessageBuffer& buffer);

Fields JobFields(const ConversionJob& job);
bool JobFromFields(const Fields& fields, ConversionJob& job);
Fields OutcomeFields(const JobOutcome& outcome);
bool OutcomeFromFields(const Fields& fields, JobOutcome& outcome);
// A field's number; 0 when it has none.
unsigned long long FieldNumber(const Fields& fields, size_t index);
