#include <filesystem>
#include <string>
#include <vector>

#include "document/Pagelette.h"
#include "document/Stream.h"
#include "document/StreamBytes.h"
#include "platform/AtomicFile.h"

namespace tessel {

namespace {

// Reading builds objects worth up to about fifty times the bytes they are read from, so a
// file far larger than any real page (100,000 blocks take some 50 MB) is refused unread.
constexpr std::uintmax_t kMaxStreamFileSize = 128u << 20;

constexpr const char* kPropertyDoesNotExist = "Property does not exist";
constexpr const char* kInvalidPropertyPath = "Invalid property path";

// The filer flag that says a child position integer follows the prefix byte.
constexpr uint8_t kFlagChildPos = 2;

std::vector<std::string_view> SplitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t dot = path.find('.', start);
        parts.push_back(path.substr(start, dot == std::string_view::npos ? dot : dot - start));
        if (dot == std::string_view::npos) {
            return parts;
        }
        start = dot + 1;
    }
}

// The name that error messages give an object: its component name, or its class name.
std::string DisplayName(TPersistent& object) {
    if (TComponent* component = object.AsComponent();
        component != nullptr && !component->Name.empty()) {
        return component->Name;
    }
    return object.ClassName();
}

class TStreamReader {
  public:
    TStreamReader(std::string_view bytes, const TClassRegistry& registry)
        : in_(bytes), registry_(registry) {}

    std::unique_ptr<TComponent> Read() {
        if (in_.Remaining() < kStreamSignature.size() ||
            in_.ReadBytes(kStreamSignature.size()) != kStreamSignature) {
            throw EStreamError(kInvalidStreamFormat);
        }
        SkipPrefix();
        const std::string className = in_.ReadShortString();
        const TClassRegistry::Factory* factory = registry_.Find(className);
        if (factory == nullptr) {
            throw EStreamError("Class " + className + " not found");
        }
        std::unique_ptr<TComponent> root = (*factory)();
        root->Name = in_.ReadShortString();
        ReadPropertyRecords(*root);
        // Child components never occur in our files.
        if (in_.ReadByte() != vaNull) {
            throw EStreamError(kInvalidStreamFormat);
        }
        return root;
    }

  private:
    void SkipPrefix() {
        const uint8_t first = in_.Peek();
        if ((first & 0xF0) != 0xF0) {
            return;
        }
        in_.ReadByte();
        if ((first & kFlagChildPos) != 0) {
            in_.ReadIntegerOfType(in_.ReadByte());
        }
    }

    // Property records up to and including the closing 0 byte.
    void ReadPropertyRecords(TPersistent& instance) {
        while (in_.Peek() != vaNull) {
            ReadProperty(instance);
        }
        in_.ReadByte();
    }

    void ReadProperty(TPersistent& instance) {
        const std::string path = in_.ReadShortString();
        try {
            const std::vector<std::string_view> parts = SplitPath(path);
            TPersistent* current = &instance;
            for (size_t i = 0; i + 1 < parts.size(); ++i) {
                const TPropInfo* property = current->ClassInfo().FindProperty(parts[i]);
                if (property == nullptr) {
                    throw EStreamError(kPropertyDoesNotExist);
                }
                TPersistent* next =
                    property->kind == TPropKind::Object ? property->getObject(*current) : nullptr;
                if (next == nullptr) {
                    throw EStreamError(kInvalidPropertyPath);
                }
                current = next;
            }
            const TPropInfo* property = current->ClassInfo().FindProperty(parts.back());
            if (property != nullptr) {
                ReadValue(*current, *property);
            } else if (TStringList* strings = current->DefinedStrings();
                       strings != nullptr && SameText(parts.back(), "Strings")) {
                ReadStringList(*strings);
            } else {
                throw EStreamError(kPropertyDoesNotExist);
            }
        } catch (const ETesselError& error) {
            throw EStreamError("Error reading " + DisplayName(instance) + "." + path + ": " +
                               error.what());
        }
    }

    void ReadValue(TPersistent& object, const TPropInfo& property) {
        switch (property.kind) {
            case TPropKind::Integer:
                property.setOrdinal(object, in_.ReadIntegerOfType(in_.ReadByte()));
                return;
            case TPropKind::Byte:
                property.setOrdinal(object, in_.ReadIntegerOfType(in_.ReadByte()) & 0xFF);
                return;
            case TPropKind::Boolean:
            case TPropKind::Enumeration: {
                const int ordinal = property.enumInfo->OrdinalOf(ReadIdentifier());
                if (ordinal < 0) {
                    throw EStreamError(kInvalidPropertyValue);
                }
                property.setOrdinal(object, ordinal);
                return;
            }
            case TPropKind::String:
                property.setString(object, ReadText());
                return;
            case TPropKind::Object:
                ReadObjectValue(object, property);
                return;
        }
    }

    std::string ReadIdentifier() {
        switch (in_.ReadByte()) {
            case vaIdent:
                return in_.ReadShortString();
            case vaFalse:
                return "False";
            case vaTrue:
                return "True";
            case vaNull:
                return "Null";
            case vaNil:
                return "nil";
            default:
                throw EStreamError(kInvalidPropertyValue);
        }
    }

    std::string ReadText() {
        switch (in_.ReadByte()) {
            case vaString:
                return in_.ReadShortString();
            case vaLString:
                return in_.ReadLongString();
            default:
                throw EStreamError(kInvalidPropertyValue);
        }
    }

    void ReadObjectValue(TPersistent& object, const TPropInfo& property) {
        const uint8_t type = in_.ReadByte();
        if (type == vaNil && property.clearObject) {
            property.clearObject(object);
            return;
        }
        TCollection* collection =
            type == vaCollection ? property.getObject(object)->AsCollection() : nullptr;
        if (collection == nullptr) {
            throw EStreamError(kInvalidPropertyValue);
        }
        ReadCollection(*collection);
    }

    void ReadCollection(TCollection& collection) {
        if (in_.Peek() != vaNull) {
            collection.Clear();
        }
        while (in_.Peek() != vaNull) {
            const uint8_t type = in_.ReadByte();
            if (type >= vaInt8 && type <= vaInt32) {
                in_.ReadIntegerOfType(type);  // an item index; items are read in order
                if (in_.ReadByte() != vaList) {
                    throw EStreamError(kInvalidPropertyValue);
                }
            } else if (type != vaList) {
                throw EStreamError(kInvalidPropertyValue);
            }
            ReadPropertyRecords(collection.AddItem());
        }
        in_.ReadByte();
    }

    void ReadStringList(TStringList& strings) {
        if (in_.ReadByte() != vaList) {
            throw EStreamError(kInvalidPropertyValue);
        }
        strings.Clear();
        while (in_.Peek() != vaNull) {
            strings.Add(ReadText());
        }
        in_.ReadByte();
    }

    TByteCursor in_;
    const TClassRegistry& registry_;
};

}  // namespace

TClassRegistry& ClassRegistry() {
    static TClassRegistry registry = [] {
        TClassRegistry r;
        r.Register("TPagelette", [] { return std::make_unique<TPagelette>(); });
        return r;
    }();
    return registry;
}

const TClassRegistry& DefaultClassRegistry() {
    return ClassRegistry();
}

std::unique_ptr<TComponent> ReadComponent(std::string_view bytes, const TClassRegistry& registry) {
    return TStreamReader(bytes, registry).Read();
}

std::unique_ptr<TComponent> ReadComponentFile(const std::string& path,
                                              const TClassRegistry& registry) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        throw EStreamError("Cannot open file " + path);
    }
    if (const std::uintmax_t size = std::filesystem::file_size(path, error);
        !error && size > kMaxStreamFileSize) {
        throw EStreamError("The file is larger than " + std::to_string(kMaxStreamFileSize >> 20) +
                           " MB");
    }
    std::string bytes;
    try {
        bytes = ReadWholeFile(path);
    } catch (const ETesselError&) {
        throw EStreamError("Cannot open file " + path);
    }
    return ReadComponent(bytes, registry);
}

std::unique_ptr<TPagelette> ReadDocumentFile(const std::string& path) {
    std::unique_ptr<TComponent> root = ReadComponentFile(path);
    if (dynamic_cast<TPagelette*>(root.get()) == nullptr) {
        throw EStreamError("Invalid class typecast");
    }
    return std::unique_ptr<TPagelette>(static_cast<TPagelette*>(root.release()));
}

void WriteDocumentFile(const std::string& path, TPagelette& document) {
    WriteComponentFile(path, document);
}

}  // namespace tessel
