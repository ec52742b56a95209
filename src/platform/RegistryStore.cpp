#include "platform/RegistryStore.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/AtomicFile.h"
#include "platform/TextEscape.h"

namespace tessel {

namespace {

constexpr const char* kHeader =
    "; Brindle HTML Tessel settings: [key path] lines, then name=value lines.\n";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The key path without empty components: "A\\B\" and "A\B" are the same key.
std::string NormalizedKey(const std::string& key) {
    std::string result;
    std::string component;
    std::istringstream parts(key);
    while (std::getline(parts, component, '\\')) {
        if (!component.empty()) {
            result += (result.empty() ? "" : "\\") + component;
        }
    }
    return result;
}

struct TValue {
    std::string name;
    std::string data;
};

struct TKey {
    std::string path;                      // as first created
    std::map<std::string, TValue> values;  // by lower-case name
};

// Keys by lower-case path; a std::map keeps them in the enumeration order.
using TKeys = std::map<std::string, TKey>;

TKeys Load(const std::string& path) {
    TKeys keys;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    TKey* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            const std::string key = NormalizedKey(UnescapeText(line.substr(1, line.size() - 2)));
            current = &keys[Lower(key)];
            if (current->path.empty()) {
                current->path = key;
            }
            continue;
        }
        const size_t equals = line.find('=');
        if (current == nullptr || equals == std::string::npos) {
            continue;  // a damaged line: only it is lost
        }
        const std::string name = UnescapeText(line.substr(0, equals));
        const std::string lower = Lower(name);
        if (!current->values.count(lower)) {
            current->values[lower] = {name, UnescapeText(line.substr(equals + 1))};
        }
    }
    return keys;
}

// Rewrites the whole store. The umask keeps the temporary file, and so the store, private.
void Save(const std::string& path, const TKeys& keys) {
    std::ostringstream out;
    out << kHeader;
    for (const auto& [lower, key] : keys) {
        out << '[' << EscapeText(key.path, "[]") << "]\n";
        for (const auto& [lowerName, value] : key.values) {
            out << EscapeText(value.name, "=[;") << '=' << EscapeText(value.data, "") << '\n';
        }
    }
    const mode_t previous = ::umask(077);
    try {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        WriteFileAtomically(path, out.str());
    } catch (...) {
        ::umask(previous);
        throw;
    }
    ::umask(previous);
}

// Adds the key and every parent of it; returns the key's lower-case name.
std::string Create(TKeys& keys, const std::string& key) {
    std::string prefix;
    std::string component;
    std::istringstream parts(key);
    while (std::getline(parts, component, '\\')) {
        prefix += (prefix.empty() ? "" : "\\") + component;
        TKey& created = keys[Lower(prefix)];
        if (created.path.empty()) {
            created.path = prefix;
        }
    }
    return Lower(prefix);
}

bool IsBelow(const std::string& lowerPath, const std::string& lowerKey) {
    return lowerKey.empty() || (lowerPath.size() > lowerKey.size() &&
                                lowerPath.compare(0, lowerKey.size(), lowerKey) == 0 &&
                                lowerPath[lowerKey.size()] == '\\');
}

}  // namespace

TRegistryStore::TRegistryStore(std::string filePath) : path_(std::move(filePath)) {}

std::string TRegistryStore::DefaultPath(const TUserFolders& folders) {
    return ConfigHome(folders) + "brindle-tessel/registry";
}

bool TRegistryStore::KeyExists(const std::string& key) const {
    const std::string lower = Lower(NormalizedKey(key));
    if (lower.empty()) {
        return true;
    }
    const TKeys keys = Load(path_);
    return keys.count(lower) > 0;
}

bool TRegistryStore::ValueExists(const std::string& key, const std::string& name) const {
    return Read(key, name).has_value();
}

std::optional<std::string> TRegistryStore::Read(const std::string& key,
                                                const std::string& name) const {
    const TKeys keys = Load(path_);
    const auto found = keys.find(Lower(NormalizedKey(key)));
    if (found == keys.end()) {
        return std::nullopt;
    }
    const auto value = found->second.values.find(Lower(name));
    if (value == found->second.values.end()) {
        return std::nullopt;
    }
    return value->second.data;
}

std::string TRegistryStore::ReadString(const std::string& key, const std::string& name,
                                       const std::string& fallback) const {
    return Read(key, name).value_or(fallback);
}

int TRegistryStore::ReadInteger(const std::string& key, const std::string& name,
                                int fallback) const {
    const std::optional<std::string> text = Read(key, name);
    if (!text) {
        return fallback;
    }
    return ParseDecimal(*text).value_or(fallback);
}

void TRegistryStore::WriteString(const std::string& key, const std::string& name,
                                 const std::string& value) {
    WriteStrings(key, {{name, value}});
}

void TRegistryStore::WriteStrings(const std::string& key,
                                  const std::vector<std::pair<std::string, std::string>>& values,
                                  const std::string& keyToDeleteFirst,
                                  const std::vector<std::string>& valuesToDelete) {
    TKeys keys = Load(path_);
    const std::string deleted = Lower(NormalizedKey(keyToDeleteFirst));
    if (!deleted.empty()) {
        std::erase_if(keys, [&deleted](const auto& entry) {
            return entry.first == deleted || IsBelow(entry.first, deleted);
        });
    }
    TKey& target = keys[Create(keys, NormalizedKey(key))];
    for (const auto& [name, value] : values) {
        TValue& stored = target.values[Lower(name)];
        if (stored.name.empty()) {
            stored.name = name;
        }
        stored.data = value;
    }
    for (const std::string& name : valuesToDelete) target.values.erase(Lower(name));
    Save(path_, keys);
}

void TRegistryStore::WriteInteger(const std::string& key, const std::string& name, int value) {
    WriteString(key, name, std::to_string(value));
}

void TRegistryStore::CreateKey(const std::string& key) {
    TKeys keys = Load(path_);
    const std::string normalized = NormalizedKey(key);
    if (keys.count(Lower(normalized))) {
        return;
    }
    Create(keys, normalized);
    Save(path_, keys);
}

bool TRegistryStore::DeleteValue(const std::string& key, const std::string& name) {
    TKeys keys = Load(path_);
    const auto found = keys.find(Lower(NormalizedKey(key)));
    if (found == keys.end() || found->second.values.erase(Lower(name)) == 0) {
        return false;
    }
    Save(path_, keys);
    return true;
}

bool TRegistryStore::DeleteKey(const std::string& key) {
    const std::string lower = Lower(NormalizedKey(key));
    if (lower.empty()) {
        return false;  // the root stays
    }
    TKeys keys = Load(path_);
    const size_t before = keys.size();
    std::erase_if(keys, [&lower](const auto& entry) {
        return entry.first == lower || IsBelow(entry.first, lower);
    });
    if (keys.size() == before) {
        return false;
    }
    Save(path_, keys);
    return true;
}

std::vector<std::string> TRegistryStore::SubKeyNames(const std::string& key) const {
    const std::string lower = Lower(NormalizedKey(key));
    const TKeys keys = Load(path_);
    std::map<std::string, std::string> names;  // by lower-case name
    for (const auto& [path, entry] : keys) {
        if (!IsBelow(path, lower)) {
            continue;
        }
        const size_t start = lower.empty() ? 0 : lower.size() + 1;
        const size_t end = path.find('\\', start);
        const std::string lowerName = path.substr(start, end - start);
        // The name's own case comes from the entry of the subkey itself.
        const auto own = keys.find(path.substr(0, end));
        const std::string& ownPath = own != keys.end() ? own->second.path : entry.path;
        names.emplace(lowerName, ownPath.substr(start, end - start));
    }
    std::vector<std::string> result;
    for (const auto& [lowerName, name] : names) {
        result.push_back(name);
    }
    return result;
}

std::vector<std::string> TRegistryStore::ValueNames(const std::string& key) const {
    const TKeys keys = Load(path_);
    std::vector<std::string> result;
    const auto found = keys.find(Lower(NormalizedKey(key)));
    if (found != keys.end()) {
        for (const auto& [lower, value] : found->second.values) {
            result.push_back(value.name);
        }
    }
    return result;
}

std::optional<int> ParseDecimal(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::nullopt;
    }
    const size_t last = text.find_last_not_of(' ');
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+') {
        ++begin;
    }
    int value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace tessel
