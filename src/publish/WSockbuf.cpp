#include "publish/WSockbuf.h"

#include <algorithm>
#include <cstring>

namespace tessel {

TBuffer::TBuffer(int capacity)
    : FData(static_cast<std::size_t>(capacity > 0 ? capacity : kSendBlockSize)) {}

int TBuffer::Write(const char* data, int length) {
    const int n = std::min(length, Capacity() - FWrCount);
    if (n > 0) {
        std::memcpy(FData.data() + FWrCount, data, static_cast<std::size_t>(n));
        FWrCount += n;
    }
    return std::max(n, 0);
}

const char* TBuffer::Peek(int& length) const {
    length = DataLength();
    return FData.data() + FRdCount;
}

void TBuffer::Remove(int n) {
    FRdCount += std::clamp(n, 0, DataLength());
    if (FRdCount == FWrCount) {
        FRdCount = 0;
        FWrCount = 0;
    }
}

}  // namespace tessel
