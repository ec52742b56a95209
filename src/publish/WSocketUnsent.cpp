// How much of what was sent has not left the machine yet, for a progress display that
// follows the bytes on the line rather than those handed to the system.

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#if defined(__linux__)
#include <linux/sockios.h>
#endif

#include "publish/WSocket.h"

namespace tessel {
namespace {

// Sent or not, what the peer has not acknowledged; 0 where the system cannot tell.
long long SystemUnsentCount(TSocket handle) {
#if defined(__linux__)
    int count = 0;
    if (handle != INVALID_SOCKET && ::ioctl(handle, SIOCOUTQ, &count) == 0 && count > 0) {
        return count;
    }
#else
    (void)handle;
#endif
    return 0;
}

}  // namespace

long long TCustomWSocket::UnsentCount() const {
    long long queued = 0;
    for (const TBuffer& block : FBufList) queued += block.DataLength();
    return queued + SystemUnsentCount(FHSocket);
}

void TUnsentWatch::Watch(const TCustomWSocket& socket) {
    Stop();
    if (socket.HSocket() != INVALID_SOCKET && socket.State() == wsConnected) {
        FHandle = ::fcntl(socket.HSocket(), F_DUPFD_CLOEXEC, 0);
    }
}

void TUnsentWatch::Stop() {
    if (FHandle != INVALID_SOCKET) {
        ::close(FHandle);
        FHandle = INVALID_SOCKET;
    }
}

long long TUnsentWatch::Unsent() const {
    return SystemUnsentCount(FHandle);
}

}  // namespace tessel
