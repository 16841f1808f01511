// Encoding and decoding of the messages between a run and its workers.
#include "engine/worker_messages.h"

#include <cstdlib>
#include <cstring>

#include "platform/host_socket.h"

namespace {

std::string Number(long long value)
{
    return std::to_string(value);
}

int IntField(const Fields& fields, size_t index)
{
    return index < fields.size() ? (int)strtol(fields[index].c_str(), NULL, 10) : 0;
}

// A message: its length in four bytes, then the fields, each ended by NUL,
// which no path or reason contains.
// A message longer than this is not one of ours.
const DWORD longestMessage = 1 << 20;

// The length the bytes begin with; 0 while they hold fewer than its four bytes.
DWORD MessageSize(const std::string& bytes)
{
    DWORD size = 0;
    if (bytes.size() >= 4) memcpy(&size, bytes.data(), 4);
    return size;
}

bool WholeMessage(const std::string& bytes)
{
    return bytes.size() >= 4 && bytes.size() - 4 >= MessageSize(bytes);
}

} // namespace

bool SendFields(const WorkerChannel& channel, const Fields& fields)
{
    std::string message(4, '\0');
    for (const std::string& field : fields) message.append(field).push_back('\0');
    DWORD size = (DWORD)message.size() - 4;
    memcpy(&message[0], &size, 4);
    return SendBytes(channel.socket, message);
}

TakenMessage TakeFields(MessageBuffer& buffer, Fields& fields)
{
    std::string& bytes = buffer.bytes;
    if (MessageSize(bytes) > longestMessage) return NotAMessage;
    if (!WholeMessage(bytes)) return NoMessage;
    DWORD size = MessageSize(bytes);
    std::string message = bytes.substr(4, size);
    bytes.erase(0, 4 + size);
    fields.clear();
    for (size_t start = 0; start < message.size();) {
        size_t end = message.find('\0', start);
        if (end == std::string::npos) return NotAMessage;
        fields.push_back(message.substr(start, end - start));
        start = end + 1;
    }
    return MessageTaken;
}

bool ReadFields(const WorkerChannel& channel, MessageBuffer& buffer, Fields& fields)
{
    for (bool open = true;;) {
        TakenMessage taken = TakeFields(buffer, fields);
        if (taken != NoMessage) return taken == MessageTaken;
        if (!open) return false;
        open = ReceiveBytes(channel.socket, buffer.bytes, true);
    }
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
            Number(job.turnUpright), job.inputHostPath, job.outputHostPath};
}

bool JobFromFields(const Fields& fields, ConversionJob& job)
{
    if (fields.size() != 16 || IntField(fields, 0) != JobMessage) return false;
    job.inputPath = fields[1];
    job.outputPath = fields[2];
    job.saveFlags = IntField(fields, 3);
    job.bilevelMethod = IntField(fields, 4);
    job.change = {IntField(fields, 5) != 0, IntField(fields, 6), IntField(fields, 7), IntField(fields, 8),
                  IntField(fields, 9) != 0, IntField(fields, 10), IntField(fields, 11)};
    job.proveOutput = IntField(fields, 12) != 0;
    job.turnUpright = IntField(fields, 13) != 0;
    job.inputHostPath = fields[14];
    job.outputHostPath = fields[15];
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
