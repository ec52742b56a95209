#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "html/Routines.h"

namespace tessel {

namespace fs = std::filesystem;

namespace {

// Every "," ends a name; an empty name ends the list, as the terminating empty name does
// in the shell's own name lists.
std::vector<fs::path> NameList(const std::string& list) {
    std::vector<fs::path> names;
    size_t start = 0;
    while (start < list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            comma = list.size();
        if (comma == start)
            break;
        names.emplace_back(list.substr(start, comma - start));
        start = comma + 1;
    }
    return names;
}

bool Exists(const fs::path& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

bool IsFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// Where source number `index` goes.
fs::path TargetOf(const std::vector<fs::path>& sources, size_t index,
                  const std::vector<fs::path>& targets, int operation, unsigned flags) {
    const fs::path& source = sources[index];
    if (operation == foRename) {
        const fs::path& name = targets[std::min(index, targets.size() - 1)];
        return name.has_parent_path() ? name : source.parent_path() / name;
    }
    if (flags & fofMultiDestFiles)
        return targets[std::min(index, targets.size() - 1)];
    const fs::path& target = targets.front();
    if (IsFolder(target) || sources.size() > 1)
        return target / source.filename();
    return target;
}

bool CopyOne(const fs::path& source, const fs::path& target, bool overwrite) {
    std::error_code ec;
    fs::copy_options options = fs::copy_options::recursive;
    if (overwrite)
        options |= fs::copy_options::overwrite_existing;
    fs::copy(source, target, options, ec);
    return !ec;
}

bool MoveOne(const fs::path& source, const fs::path& target, bool overwrite) {
    std::error_code ec;
    if (overwrite && !IsFolder(target))
        fs::remove(target, ec);
    fs::rename(source, target, ec);
    if (!ec)
        return true;
    if (ec != std::errc::cross_device_link)
        return false;
    // Another file system: copy, then remove the original.
    if (!CopyOne(source, target, overwrite))
        return false;
    fs::remove_all(source, ec);
    return !ec;
}

bool TransferOne(const fs::path& source, const fs::path& target, int operation, unsigned flags) {
    std::error_code ec;
    if (Exists(target)) {
        if (fs::equivalent(source, target, ec))
            return false;
        // Renaming never replaces a file; the others replace only when told to.
        if (operation == foRename || !(flags & fofNoConfirmation))
            return false;
    }
    if (target.has_parent_path() && !IsFolder(target.parent_path())) {
        fs::create_directories(target.parent_path(), ec);
        if (ec)
            return false;
    }
    const bool overwrite = (flags & fofNoConfirmation) != 0;
    if (operation == foCopy)
        return CopyOne(source, target, overwrite);
    return MoveOne(source, target, overwrite);
}

}  // namespace

bool ShellFileOperation(const std::string& from, const std::string& to, int operation,
                        unsigned flags) {
    flags &= ~fofWantMappingHandle;
    if (operation < foMove || operation > foRename)
        return false;
    const std::vector<fs::path> sources = NameList(from);
    const std::vector<fs::path> targets = to.empty() ? std::vector<fs::path>() : NameList(to);
    if (sources.empty())
        return false;
    if (operation != foDelete && targets.empty())
        return false;
    for (size_t i = 0; i < sources.size(); ++i) {
        if (!Exists(sources[i]))
            return false;
        if (operation == foDelete) {
            std::error_code ec;
            fs::remove_all(sources[i], ec);
            if (ec)
                return false;
        } else if (!TransferOne(sources[i], TargetOf(sources, i, targets, operation, flags),
                                operation, flags)) {
            return false;
        }
    }
    return true;
}

}  // namespace tessel
