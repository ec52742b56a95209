#include "document/StreamDump.h"

#include <cstdio>
#include <cstring>

#include "document/StreamBytes.h"

namespace tessel {

namespace {

// Deeper nesting than this never occurs in a real file; it only guards the stack.
constexpr int kMaxDepth = 64;

std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20 || byte >= 0x7F) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string Hex(std::string_view raw) {
    std::string out;
    for (const char c : raw) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
        out += digits;
    }
    return out;
}

class TStreamDumper {
  public:
    explicit TStreamDumper(std::string_view bytes) : in_(bytes) {}

    std::string Dump() {
        if (in_.Remaining() < kStreamSignature.size() ||
            in_.ReadBytes(kStreamSignature.size()) != kStreamSignature) {
            throw EStreamError(kInvalidStreamFormat);
        }
        DumpComponent(0);
        return std::move(out_);
    }

  private:
    void Line(int depth, const std::string& text) {
        out_.append(static_cast<size_t>(depth) * 2, ' ');
        out_ += text;
        out_ += '\n';
    }

    void Enter(int depth) const {
        if (depth > kMaxDepth) {
            throw EStreamError(kInvalidStreamFormat);
        }
    }

    void DumpComponent(int depth) {
        Enter(depth);
        std::string header = "object";
        const uint8_t first = in_.Peek();
        if ((first & 0xF0) == 0xF0) {
            in_.ReadByte();
            header += " flags " + std::to_string(first & 0x0F);
            if ((first & 0x02) != 0) {
                header += " position " + std::to_string(in_.ReadIntegerOfType(in_.ReadByte()));
            }
        }
        const std::string className = in_.ReadShortString();
        header += " " + className + " " + Quoted(in_.ReadShortString());
        Line(depth, header);
        DumpRecords(depth + 1);
        while (in_.Peek() != vaNull) {
            DumpComponent(depth + 1);
        }
        in_.ReadByte();
        Line(depth, "end");
    }

    // Property records up to and including the closing 0 byte.
    void DumpRecords(int depth) {
        Enter(depth);
        while (in_.Peek() != vaNull) {
            const std::string name = in_.ReadShortString();
            DumpValue(depth, name + " = ");
        }
        in_.ReadByte();
    }

    void DumpValue(int depth, const std::string& lead) {
        Enter(depth);
        const uint8_t type = in_.ReadByte();
        switch (type) {
            case vaInt8:
                Line(depth, lead + "int8 " + std::to_string(in_.ReadLittleEndian(1)));
                return;
            case vaInt16:
                Line(depth, lead + "int16 " + std::to_string(in_.ReadLittleEndian(2)));
                return;
            case vaInt32:
                Line(depth, lead + "int32 " + std::to_string(in_.ReadLittleEndian(4)));
                return;
            case vaString:
                Line(depth, lead + "string " + Quoted(in_.ReadShortString()));
                return;
            case vaLString:
                Line(depth, lead + "lstring " + Quoted(in_.ReadLongString()));
                return;
            case vaIdent:
                Line(depth, lead + "ident " + in_.ReadShortString());
                return;
            case vaFalse:
                Line(depth, lead + "false");
                return;
            case vaTrue:
                Line(depth, lead + "true");
                return;
            case vaNil:
                Line(depth, lead + "nil");
                return;
            case vaNull:
                Line(depth, lead + "null");
                return;
            case vaExtended:
                Line(depth, lead + "extended $" + Hex(in_.ReadBytes(10)));
                return;
            case vaSingle:
                Line(depth, lead + "single " + FloatText(in_.ReadBytes(4)));
                return;
            case vaDate:
                Line(depth, lead + "date " + FloatText(in_.ReadBytes(8)));
                return;
            case vaCurrency:
                Line(depth, lead + "currency $" + Hex(in_.ReadBytes(8)));
                return;
            case vaInt64:
                Line(depth, lead + "int64 $" + Hex(in_.ReadBytes(8)));
                return;
            case vaBinary: {
                const auto length = static_cast<uint32_t>(in_.ReadLittleEndian(4));
                Line(depth, lead + "binary $" + Hex(in_.ReadBytes(length)));
                return;
            }
            case vaWString: {
                const auto characters = static_cast<uint32_t>(in_.ReadLittleEndian(4));
                if (characters > in_.Remaining() / 2) {
                    throw EStreamError(kStreamReadError);
                }
                Line(depth, lead + "wstring $" + Hex(in_.ReadBytes(size_t{characters} * 2)));
                return;
            }
            case vaSet: {
                std::string members;
                for (std::string member = in_.ReadShortString(); !member.empty();
                     member = in_.ReadShortString()) {
                    members += members.empty() ? member : ", " + member;
                }
                Line(depth, lead + "set [" + members + "]");
                return;
            }
            case vaList:
                Line(depth, lead + "list");
                while (in_.Peek() != vaNull) {
                    DumpValue(depth + 1, "");
                }
                in_.ReadByte();
                Line(depth, "end");
                return;
            case vaCollection:
                Line(depth, lead + "collection");
                DumpCollectionItems(depth + 1);
                Line(depth, "end");
                return;
            default:
                throw EStreamError(kInvalidPropertyValue);
        }
    }

    void DumpCollectionItems(int depth) {
        while (in_.Peek() != vaNull) {
            std::string header = "item";
            uint8_t type = in_.ReadByte();
            if (type >= vaInt8 && type <= vaInt32) {
                header += " " + std::to_string(in_.ReadIntegerOfType(type));
                type = in_.ReadByte();
            }
            if (type != vaList) {
                throw EStreamError(kInvalidPropertyValue);
            }
            Line(depth, header);
            DumpRecords(depth + 1);
            Line(depth, "end");
        }
        in_.ReadByte();
    }

    static std::string FloatText(std::string_view raw) {
        char text[64];
        if (raw.size() == 4) {
            float value;
            std::memcpy(&value, raw.data(), 4);
            std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
        } else {
            double value;
            std::memcpy(&value, raw.data(), 8);
            std::snprintf(text, sizeof text, "%.17g", value);
        }
        return text;
    }

    TByteCursor in_;
    std::string out_;
};

}  // namespace

std::string DumpComponentStream(std::string_view bytes) {
    return TStreamDumper(bytes).Dump();
}

}  // namespace tessel
