#pragma once

// The byte-level pieces of the component stream shared by the writer, the reader and the
// dump: value type bytes and a bounds-checked cursor over the stream.

#include <cstdint>
#include <string>
#include <string_view>

#include "document/Exceptions.h"

namespace tessel {

inline constexpr std::string_view kStreamSignature = "TPF0";
inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kInvalidStreamFormat = "Invalid stream format";
inline constexpr const char* kInvalidPropertyValue = "Invalid property value";

enum TValueType : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
};

// Reads the stream's bytes; every read past the end fails with "Stream read error" before
// anything is allocated for it.
class TByteCursor {
  public:
    explicit TByteCursor(std::string_view bytes) : bytes_(bytes) {}

    bool AtEnd() const { return pos_ >= bytes_.size(); }
    size_t Position() const { return pos_; }
    size_t Remaining() const { return bytes_.size() - pos_; }

    uint8_t Peek() const {
        Need(1);
        return static_cast<uint8_t>(bytes_[pos_]);
    }
    uint8_t ReadByte() {
        Need(1);
        return static_cast<uint8_t>(bytes_[pos_++]);
    }
    std::string_view ReadBytes(size_t count) {
        Need(count);
        std::string_view part = bytes_.substr(pos_, count);
        pos_ += count;
        return part;
    }
    int32_t ReadLittleEndian(int width) {
        std::string_view raw = ReadBytes(static_cast<size_t>(width));
        uint32_t value = 0;
        for (int i = width - 1; i >= 0; --i) {
            value = (value << 8) | static_cast<uint8_t>(raw[static_cast<size_t>(i)]);
        }
        // Sign-extend from the stored width.
        const int shift = 32 - 8 * width;
        return static_cast<int32_t>(value << shift) >> shift;
    }
    std::string ReadShortString() { return std::string(ReadBytes(ReadByte())); }
    std::string ReadLongString() {
        const uint32_t length = static_cast<uint32_t>(ReadLittleEndian(4));
        return std::string(ReadBytes(length));
    }
    // The data of an integer value of type 2, 3 or 4.
    int32_t ReadIntegerOfType(uint8_t type) {
        switch (type) {
            case vaInt8:
                return ReadLittleEndian(1);
            case vaInt16:
                return ReadLittleEndian(2);
            case vaInt32:
                return ReadLittleEndian(4);
            default:
                throw EStreamError(kInvalidPropertyValue);
        }
    }

  private:
    void Need(size_t count) const {
        if (count > Remaining()) {
            throw EStreamError(kStreamReadError);
        }
    }

    std::string_view bytes_;
    size_t pos_ = 0;
};

}  // namespace tessel
