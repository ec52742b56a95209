#include "publish/core/ProfileRules.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace tessel {
namespace {

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool AnyCaptionIs(const std::vector<std::string>& captions, const std::string& name) {
    return std::any_of(captions.begin(), captions.end(), [&](const std::string& caption) {
        return SameTextIgnoringCase(caption, name);
    });
}

}  // namespace

bool IsRefusedProfileNameChar(char c) {
    return kRefusedProfileNameChars.find(c) != std::string_view::npos;
}

std::string StripRefusedProfileNameChars(std::string_view text) {
    std::string kept;
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept),
                 [](char c) { return !IsRefusedProfileNameChar(c); });
    return kept;
}

bool IsProfileNameAcceptable(std::string_view name) {
    return !name.empty() && std::none_of(name.begin(), name.end(), IsRefusedProfileNameChar);
}

bool IsPortKey(char c) {
    return (c >= '0' && c <= '9') || c == '\b';
}

std::string PortDigits(std::string_view text) {
    std::string digits;
    std::copy_if(text.begin(), text.end(), std::back_inserter(digits),
                 [](char c) { return c >= '0' && c <= '9'; });
    return digits;
}

TApplyDecision DecideApply(const std::vector<std::string>& captions, TProfileEditMode mode,
                           int selected, const std::string& newName) {
    if (mode == TProfileEditMode::Edit && (selected < 0 || selected >= std::ssize(captions))) {
        throw std::out_of_range("No server profile is selected for editing");
    }
    if (newName.empty()) {
        return {TApplyVerdict::EmptyName, {}};
    }
    if (!IsProfileNameAcceptable(newName)) {
        return {TApplyVerdict::BadName, {}};
    }
    if (mode == TProfileEditMode::Add) {
        if (AnyCaptionIs(captions, newName)) {
            return {TApplyVerdict::Duplicate, {}};
        }
        return {TApplyVerdict::Store, {}};
    }
    const std::string& current = captions[static_cast<std::size_t>(selected)];
    if (newName == current) {
        return {TApplyVerdict::Store, {}};
    }
    if (AnyCaptionIs(captions, newName)) {
        return {TApplyVerdict::Duplicate, {}};
    }
    return {TApplyVerdict::Store, current};
}

std::string KeptFingerprint(const TServerProfile& stored, const TServerProfile& edited) {
    const bool sameServer = stored.host == edited.host && stored.port == edited.port;
    return sameServer && stored.tls && edited.tls ? stored.tlsFingerprint : std::string();
}

std::string KeptHostKey(const TServerProfile& stored, const TServerProfile& edited) {
    const bool sameServer = stored.host == edited.host && stored.port == edited.port;
    return sameServer && stored.sftp && edited.sftp ? stored.sshHostKey : std::string();
}

std::string PortForWay(const std::string& port, bool sftp) {
    const std::string other = sftp ? kDefaultFtpPort : kDefaultSftpPort;
    if (port.empty() || port == other) {
        return sftp ? kDefaultSftpPort : kDefaultFtpPort;
    }
    return port;
}

}  // namespace tessel
