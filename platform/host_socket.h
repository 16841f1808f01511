// Host sockets that join a run to its workers: a message through a Windows
// pipe would cost calls to the Wine server on both sides, one through a
// socket of the host none.
#pragma once
#include <string>
#include <vector>

// A connected pair, neither end passed on to a process started later. False
// when none could be made, with `outOfDescriptors` telling why.
bool MakeSocketPair(int ends[2], bool& outOfDescriptors);
// Whether a process started from now on gets this end too.
void PassSocketOn(int socket, bool passed);
bool IsSocket(int descriptor);
// A socket listening at `path` (a name in a folder of the user's own), or -1.
int ListenAt(const char* path);
// The first connection to `listener` within `milliseconds`, or -1.
int AcceptWithin(int listener, unsigned milliseconds);
// A socket connected to the one listening at `path`, or -1 when none
// listens there (yet).
int ConnectTo(const char* path);
void CloseSocket(int& socket);

// False when the other side has gone.
bool SendBytes(int socket, const std::string& bytes);
// Appends what has arrived; when `wait`, waits until something has. False
// once the other side is seen to have gone (what it sent before is still
// appended); a close right after data is seen by the next call.
bool ReceiveBytes(int socket, std::string& bytes, bool wait);
// A line ended by '\n' (left out), read a byte at a time so that nothing sent
// after it is taken; false when the other side went, or sent nothing for
// `milliseconds`.
bool ReceiveLine(int socket, std::string& line, unsigned milliseconds);
// Waits at most `milliseconds` for something to read on one of `sockets`,
// or for one to close. False when the time ran out or a signal came.
bool AwaitSockets(const std::vector<int>& sockets, unsigned milliseconds);
