// Encoding and decoding of the messages between a run and its workers.
#include "engine/worker_messages.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// A message: its length in four bytes, then the fields, each ended by NUL,
// which no path or reason contains.
bool WriteAll(HANDLE pipe, const char* bytes, DWORD size)
{
    while (size > 0) {
        DWORD written = 0;
        if (!WriteFile(pipe, bytes, size, &written, NULL) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

// Reads go through a buffer on the stack: Wine refuses to read a pipe into
// memory it did not allocate itself, such as the C library's heap.
bool ReadAll(HANDLE pipe, std::string& bytes, DWORD size)
{
    char chunk[4096];
    while (size > 0) {
        DWORD read = 0;
        if (!ReadFile(pipe, chunk, std::min(size, (DWORD)sizeof chunk), &read, NULL) || read == 0) return false;
        bytes.append(chunk, read);
        size -= read;
    }
    return true;
}

std::string Number(long long value)
{
    return std::to_string(value);
}

int IntField(const Fields& fields, size_t index)
{
    return index < fields.size() ? (int)strtol(fields[index].c_str(), NULL, 10) : 0;
}

// A message longer than this is not one of ours.
const DWORD longestMessage = 1 << 20;

} // namespace

bool WriteFields(HANDLE pipe, const Fields& fields)
{
    std::string message(4, '\0');
    for (const std::string& field : fields) message.append(field).push_back('\0');
    DWORD size = (DWORD)message.size() - 4;
    memcpy(&message[0], &size, 4);
    return WriteAll(pipe, message.data(), (DWORD)message.size());
}

bool ReadFields(HANDLE pipe, Fields& fields)
{
    std::string length, message;
    DWORD size = 0;
    if (!ReadAll(pipe, length, 4)) return false;
    memcpy(&size, length.data(), 4);
    if (size > longestMessage || !ReadAll(pipe, message, size)) return false;
    fields.clear();
    for (size_t start = 0; start < message.size();) {
        size_t end = message.find('\0', start);
        if (end == std::string::npos) return false;
        fields.push_back(message.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

unsigned long long FieldNumber(const Fields& fields, size_t index)
{
    return index < fields.size() ? strtoull(fields[index].c_str(), NULL, 10) : 0;
}

Fields JobFields(const ConversionJob& job)
{
    const ImageChange& c = job.change;
    return {Number(JobMessage), job.inputPath, job.outputPath, Number(job.saveFlags), Number(job.bilevelMethod),
            Number(c.resize), Number(c.resizeUnit), Number(c.width), Number(c.height),
            Number(c.rotate), Number(c.rotateDirection), Number(c.degrees), Number(job.proveOutput),
            Number(job.turnUpright)};
}

bool JobFromFields(const Fields& fields, ConversionJob& job)
{
    if (fields.size() != 14 || IntField(fields, 0) != JobMessage) return false;
    job.inputPath = fields[1];
    job.outputPath = fields[2];
    job.saveFlags = IntField(fields, 3);
    job.bilevelMethod = IntField(fields, 4);
    job.change = {IntField(fields, 5) != 0, IntField(fields, 6), IntField(fields, 7), IntField(fields, 8),
                  IntField(fields, 9) != 0, IntField(fields, 10), IntField(fields, 11)};
    job.proveOutput = IntField(fields, 12) != 0;
    job.turnUpright = IntField(fields, 13) != 0;
    return true;
}

Fields OutcomeFields(const JobOutcome& outcome)
{
    return {Number(DoneMessage), Number(outcome.result), Number(outcome.outputProven), outcome.message,
            Number(outcome.note), Number(outcome.workerEnds), outcome.damage, Number(outcome.pictures)};
}

bool OutcomeFromFields(const Fields& fields, JobOutcome& outcome)
{
    if (fields.size() != 8 || IntField(fields, 0) != DoneMessage) return false;
    outcome.result = IntField(fields, 1);
    outcome.outputProven = IntField(fields, 2) != 0;
    outcome.message = fields[3];
    outcome.note = IntField(fields, 4);
    outcome.workerEnds = IntField(fields, 5) != 0;
    outcome.damage = fields[6];
    outcome.pictures = IntField(fields, 7);
    return true;
}
