#include "platform/IniProfile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/AtomicFile.h"

namespace tessel {

namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

// The profile file as lines, with the line end it uses.
struct TProfileFile {
    std::vector<std::string> lines;
    std::string lineEnd = "\r\n";  // what a new file gets, as profile files always had

    static TProfileFile Read(const std::string& path) {
        TProfileFile file;
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            return file;
        }
        std::ostringstream content;
        content << in.rdbuf();
        const std::string text = content.str();
        if (text.find('\n') != std::string::npos && text.find("\r\n") == std::string::npos) {
            file.lineEnd = "\n";
        }
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            file.lines.push_back(line);
        }
        return file;
    }

    void Write(const std::string& path) const {
        std::string text;
        for (const std::string& line : lines) {
            text += line + lineEnd;
        }
        WriteFileAtomically(path, text);
    }

    static std::optional<std::string> SectionName(const std::string& line) {
        const std::string trimmed = Trimmed(line);
        if (trimmed.size() < 2 || trimmed.front() != '[') {
            return std::nullopt;
        }
        const size_t close = trimmed.find(']');
        if (close == std::string::npos) {
            return std::nullopt;
        }
        return Trimmed(trimmed.substr(1, close - 1));
    }

    static bool IsKeyLine(const std::string& line) {
        const std::string trimmed = Trimmed(line);
        return !trimmed.empty() && trimmed.front() != ';' && !SectionName(line);
    }

    static std::pair<std::string, std::string> KeyAndValue(const std::string& line) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            return {Trimmed(line), std::string()};
        }
        return {Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1))};
    }

    // Lines [header, end) of the first section of this name, or nothing.
    std::optional<std::pair<size_t, size_t>> Section(const std::string& name) const {
        for (size_t i = 0; i < lines.size(); ++i) {
            const auto found = SectionName(lines[i]);
            if (found && SameName(*found, name)) {
                size_t end = i + 1;
                while (end < lines.size() && !SectionName(lines[end])) {
                    ++end;
                }
                return std::make_pair(i, end);
            }
        }
        return std::nullopt;
    }

    std::optional<size_t> KeyLine(const std::string& section, const std::string& key) const {
        const auto range = Section(section);
        if (!range) {
            return std::nullopt;
        }
        for (size_t i = range->first + 1; i < range->second; ++i) {
            if (IsKeyLine(lines[i]) && SameName(KeyAndValue(lines[i]).first, key)) {
                return i;
            }
        }
        return std::nullopt;
    }

    // Where a new key of the section goes: after its last non-blank line.
    size_t EndOfContent(const std::pair<size_t, size_t>& range) const {
        size_t end = range.second;
        while (end > range.first + 1 && Trimmed(lines[end - 1]).empty()) {
            --end;
        }
        return end;
    }

    void AppendSection(const std::string& name, const std::vector<std::string>& body) {
        if (!lines.empty() && !Trimmed(lines.back()).empty()) {
            lines.emplace_back();
        }
        lines.push_back("[" + name + "]");
        lines.insert(lines.end(), body.begin(), body.end());
    }
};

std::string Unquoted(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& fallback, const std::string& path) {
    const TProfileFile file = TProfileFile::Read(path);
    const auto line = file.KeyLine(section, key);
    if (!line) {
        return fallback;
    }
    return Unquoted(TProfileFile::KeyAndValue(file.lines[*line]).second);
}

int GetPrivateProfileInt(const std::string& section, const std::string& key, int fallback,
                         const std::string& path) {
    const std::string value = GetPrivateProfileString(section, key, std::string(), path);
    if (value.empty()) {
        return fallback;
    }
    long long number = 0;
    size_t i = 0;
    const bool negative = value[0] == '-';
    if (value[0] == '-' || value[0] == '+') {
        ++i;
    }
    for (; i < value.size() && std::isdigit(static_cast<unsigned char>(value[i])); ++i) {
        number = std::min(number * 10 + (value[i] - '0'), 1LL << 31);
    }
    number = negative ? -number : number;
    return static_cast<int>(std::clamp<long long>(number, INT32_MIN, INT32_MAX));
}

void WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
    TProfileFile file = TProfileFile::Read(path);
    const std::string line = key + "=" + value;
    if (const auto existing = file.KeyLine(section, key)) {
        file.lines[*existing] = line;
    } else if (const auto range = file.Section(section)) {
        file.lines.insert(file.lines.begin() + static_cast<long>(file.EndOfContent(*range)), line);
    } else {
        file.AppendSection(section, {line});
    }
    file.Write(path);
}

void DeletePrivateProfileKey(const std::string& section, const std::string& key,
                             const std::string& path) {
    TProfileFile file = TProfileFile::Read(path);
    if (const auto existing = file.KeyLine(section, key)) {
        file.lines.erase(file.lines.begin() + static_cast<long>(*existing));
        file.Write(path);
    }
}

TProfileEntries GetPrivateProfileSection(const std::string& section, const std::string& path) {
    const TProfileFile file = TProfileFile::Read(path);
    TProfileEntries entries;
    if (const auto range = file.Section(section)) {
        for (size_t i = range->first + 1; i < range->second; ++i) {
            if (TProfileFile::IsKeyLine(file.lines[i])) {
                auto [key, value] = TProfileFile::KeyAndValue(file.lines[i]);
                entries.emplace_back(std::move(key), Unquoted(value));
            }
        }
    }
    return entries;
}

bool ProfileSectionPresent(const std::string& section, const std::string& path) {
    return !GetPrivateProfileSection(section, path).empty();
}

std::vector<std::string> GetPrivateProfileSectionNames(const std::string& path) {
    const TProfileFile file = TProfileFile::Read(path);
    std::vector<std::string> names;
    for (const std::string& line : file.lines) {
        const auto name = TProfileFile::SectionName(line);
        if (name && std::none_of(names.begin(), names.end(), [&](const std::string& known) {
                return SameName(known, *name);
            })) {
            names.push_back(*name);
        }
    }
    return names;
}

void ErasePrivateProfileSection(const std::string& section, const std::string& path) {
    TProfileFile file = TProfileFile::Read(path);
    if (const auto range = file.Section(section)) {
        file.lines.erase(file.lines.begin() + static_cast<long>(range->first),
                         file.lines.begin() + static_cast<long>(range->second));
        file.Write(path);
    }
}

void WritePrivateProfileSection(const std::string& section, const TProfileEntries& entries,
                                const std::string& path) {
    TProfileFile file = TProfileFile::Read(path);
    std::vector<std::string> body;
    for (const auto& [key, value] : entries) {
        body.push_back(key + "=" + value);
    }
    if (const auto range = file.Section(section)) {
        const bool sectionFollows = range->second < file.lines.size();
        if (sectionFollows) {
            body.emplace_back();
        }
        file.lines.erase(file.lines.begin() + static_cast<long>(range->first) + 1,
                         file.lines.begin() + static_cast<long>(range->second));
        file.lines.insert(file.lines.begin() + static_cast<long>(range->first) + 1, body.begin(),
                          body.end());
    } else {
        file.AppendSection(section, body);
    }
    file.Write(path);
}

}  // namespace tessel
