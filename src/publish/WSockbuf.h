#pragma once

// One block of a socket's send queue. Bytes are copied in once and sent straight from
// the block, so a queue of these never copies data twice.

#include <cstddef>
#include <vector>

namespace tessel {

constexpr int kSendBlockSize = 1514;

class TBuffer {
  public:
    // A capacity of 0 or less means the default block size.
    explicit TBuffer(int capacity = kSendBlockSize);

    // Copies as many bytes as fit after the written ones; returns how many.
    int Write(const char* data, int length);
    // The bytes written but not yet removed.
    const char* Peek(int& length) const;
    // Advances past n sent bytes; once everything written is removed the block is empty
    // again and can be refilled from its start.
    void Remove(int n);

    int Capacity() const { return static_cast<int>(FData.size()); }
    int DataLength() const { return FWrCount - FRdCount; }
    bool IsEmpty() const { return FWrCount == FRdCount; }
    bool IsFull() const { return FWrCount == Capacity(); }

  private:
    std::vector<char> FData;
    int FWrCount = 0;
    int FRdCount = 0;
};

}  // namespace tessel
