// Host sockets between a run and its workers. No Windows header here: its
// sockets have the same names as the host's.
#include "platform/host_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

bool MakeSocketPair(int ends[2], bool& outOfDescriptors)
{
    bool made = socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) == 0;
    outOfDescriptors = !made && (errno == EMFILE || errno == ENFILE);
    return made;
}

void PassSocketOn(int socket, bool passed)
{
    fcntl(socket, F_SETFD, passed ? 0 : FD_CLOEXEC);
}

bool IsSocket(int descriptor)
{
    struct stat status;
    return fstat(descriptor, &status) == 0 && S_ISSOCK(status.st_mode);
}

namespace {

bool Address(const char* path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (strlen(path) >= sizeof address.sun_path) return false;
    strcpy(address.sun_path, path);
    return true;
}

} // namespace

int ListenAt(const char* path)
{
    sockaddr_un address;
    int listener = Address(path, address) ? socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0) : -1;
    if (listener >= 0 && (bind(listener, (sockaddr*)&address, sizeof address) != 0 || listen(listener, 1) != 0))
        CloseSocket(listener);
    return listener;
}

int AcceptWithin(int listener, unsigned milliseconds)
{
    pollfd waited = {listener, POLLIN, 0};
    if (poll(&waited, 1, (int)milliseconds) <= 0) return -1;
    return accept4(listener, NULL, NULL, SOCK_CLOEXEC);
}

int ConnectTo(const char* path)
{
    sockaddr_un address;
    int connected = Address(path, address) ? socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0) : -1;
    if (connected >= 0 && connect(connected, (sockaddr*)&address, sizeof address) != 0) CloseSocket(connected);
    return connected;
}

void CloseSocket(int& socket)
{
    if (socket >= 0) close(socket);
    socket = -1;
}

bool SendBytes(int socket, const std::string& bytes)
{
    for (size_t sent = 0; sent < bytes.size();) {
        // Not a signal that ends the process when the other side has gone.
        ssize_t now = send(socket, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (now < 0 && errno == EINTR) continue;
        if (now <= 0) return false;
        sent += now;
    }
    return true;
}

bool ReceiveBytes(int socket, std::string& bytes, bool wait)
{
    for (;;) {
        char chunk[4096];
        ssize_t now = recv(socket, chunk, sizeof chunk, wait ? 0 : MSG_DONTWAIT);
        if (now > 0) {
            bytes.append(chunk, now);
            // Less than asked for is all there was: asking again would only
            // hear so.
            if (now < (ssize_t)sizeof chunk) return true;
            // Once something has come, the rest is taken only if it is there.
            wait = false;
        } else if (now == 0 || errno != EINTR) {
            return now < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        }
    }
}

bool ReceiveLine(int socket, std::string& line, unsigned milliseconds)
{
    line.clear();
    for (char c;;) {
        if (!AwaitSockets({socket}, milliseconds)) return false;
        ssize_t now = recv(socket, &c, 1, MSG_DONTWAIT);
        if (now < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
        if (now <= 0) return false;
        if (c == '\n') return true;
        line.push_back(c);
    }
}

bool AwaitSockets(const std::vector<int>& sockets, unsigned milliseconds)
{
    std::vector<pollfd> waited;
    for (int socket : sockets) waited.push_back({socket, POLLIN, 0});
    return poll(waited.data(), waited.size(), (int)milliseconds) > 0;
}
