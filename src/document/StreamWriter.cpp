#include <string>

#include "document/Stream.h"
#include "document/StreamBytes.h"
#include "platform/AtomicFile.h"

namespace tessel {

namespace {

class TStreamWriter {
  public:
    std::string Write(TComponent& root) {
        out_.append(kStreamSignature);
        WriteShortString(root.ClassName());
        WriteShortString(root.Name);
        WriteProperties(root, "");
        out_.push_back(vaNull);  // end of properties
        out_.push_back(vaNull);  // end of children: a document has none
        return std::move(out_);
    }

    std::string WritePropertiesOf(TPersistent& object) {
        WriteProperties(object, "");
        return std::move(out_);
    }

  private:
    void WriteShortString(std::string_view text) {
        if (text.size() > 255) {
            throw EStreamError("Name too long for the stream: " + std::string(text.substr(0, 40)));
        }
        out_.push_back(static_cast<char>(text.size()));
        out_.append(text);
    }

    void WriteLittleEndian(int32_t value, int width) {
        const auto bits = static_cast<uint32_t>(value);
        for (int i = 0; i < width; ++i) {
            out_.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
        }
    }

    // The smallest of the three integer forms that holds the value.
    void WriteInteger(int32_t value) {
        if (value >= -128 && value <= 127) {
            out_.push_back(vaInt8);
            WriteLittleEndian(value, 1);
        } else if (value >= -32768 && value <= 32767) {
            out_.push_back(vaInt16);
            WriteLittleEndian(value, 2);
        } else {
            out_.push_back(vaInt32);
            WriteLittleEndian(value, 4);
        }
    }

    void WriteText(const std::string& text) {
        if (text.size() <= 255) {
            out_.push_back(vaString);
            WriteShortString(text);
        } else {
            if (text.size() > 0x7FFFFFFFu) {
                throw EStreamError("Text too long for the stream");
            }
            out_.push_back(vaLString);
            WriteLittleEndian(static_cast<int32_t>(text.size()), 4);
            out_.append(text);
        }
    }

    void WriteProperties(TPersistent& object, const std::string& prefix) {
        for (const TPropInfo* property : object.ClassInfo().AllProperties()) {
            if (property->stored) {
                WriteProperty(object, *property, prefix);
            }
        }
        TStringList* strings = object.DefinedStrings();
        if (strings != nullptr && strings->Count() > 0) {
            WriteShortString(prefix + "Strings");
            out_.push_back(vaList);
            for (const std::string& line : strings->lines) {
                WriteText(line);
            }
            out_.push_back(vaNull);
        }
    }

    void WriteProperty(TPersistent& object, const TPropInfo& property, const std::string& prefix) {
        switch (property.kind) {
            case TPropKind::Integer:
            case TPropKind::Byte: {
                const int32_t value = property.getOrdinal(object);
                if (property.hasDefault && value == property.defaultValue) {
                    return;
                }
                WriteShortString(prefix + property.name);
                WriteInteger(value);
                return;
            }
            case TPropKind::Boolean: {
                const int32_t value = property.getOrdinal(object) != 0 ? 1 : 0;
                if (property.hasDefault && value == property.defaultValue) {
                    return;
                }
                WriteShortString(prefix + property.name);
                out_.push_back(value != 0 ? vaTrue : vaFalse);
                return;
            }
            case TPropKind::Enumeration: {
                const int32_t ordinal = property.getOrdinal(object);
                const auto& identifiers = property.enumInfo->identifiers;
                if (ordinal < 0 || static_cast<size_t>(ordinal) >= identifiers.size()) {
                    throw EStreamError("Value out of range for " + property.name);
                }
                WriteShortString(prefix + property.name);
                out_.push_back(vaIdent);
                WriteShortString(identifiers[static_cast<size_t>(ordinal)]);
                return;
            }
            case TPropKind::String: {
                const std::string& text = property.getString(object);
                if (text.empty()) {
                    return;
                }
                WriteShortString(prefix + property.name);
                WriteText(text);
                return;
            }
            case TPropKind::Object:
                WriteObject(object, property, prefix);
                return;
        }
    }

    void WriteObject(TPersistent& object, const TPropInfo& property, const std::string& prefix) {
        TPersistent* value = property.getObject(object);
        if (value == nullptr) {
            return;
        }
        if (TCollection* collection = value->AsCollection()) {
            WriteShortString(prefix + property.name);
            out_.push_back(vaCollection);
            for (int i = 0; i < collection->Count(); ++i) {
                out_.push_back(vaList);
                WriteProperties(collection->ItemAt(i), "");
                out_.push_back(vaNull);
            }
            out_.push_back(vaNull);
        } else {
            WriteProperties(*value, prefix + property.name + ".");
        }
    }

    std::string out_;
};

}  // namespace

std::string WriteComponent(TComponent& root) {
    return TStreamWriter().Write(root);
}

std::string WriteProperties(TPersistent& object) {
    return TStreamWriter().WritePropertiesOf(object);
}

void WriteComponentFile(const std::string& path, TComponent& root) {
    WriteFileAtomically(path, WriteComponent(root));
}

}  // namespace tessel
