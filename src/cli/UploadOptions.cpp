#include "cli/UploadOptions.h"

#include <cstdlib>

#include "publish/core/Fingerprint.h"
#include "publish/core/Profiles.h"

namespace tessel {

std::optional<std::string> ParseUploadOptions(const std::vector<std::string>& args,
                                              TUploadOptions& o) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool ok = true;
        const auto value = [&](auto& target) {
            if (i + 1 >= args.size()) {
                ok = false;
                return;
            }
            target = args[++i];
        };
        std::string timeout;
        if (a == "--host") {
            value(o.host);
        } else if (a == "--port") {
            value(o.port);
        } else if (a == "--user") {
            value(o.user);
        } else if (a == "--password-file") {
            value(o.passwordFile);
        } else if (a == "--password-env") {
            value(o.passwordEnv);
        } else if (a == "--dir") {
            value(o.dir);
        } else if (a == "--profile") {
            value(o.profile);
            if (ok && o.profile.empty()) {
                return "--profile needs a profile name";
            }
        } else if (a == "--timeout") {
            value(timeout);
            char* end = nullptr;
            o.timeout = ok ? static_cast<int>(std::strtol(timeout.c_str(), &end, 10)) : 0;
            if (ok && (end == timeout.c_str() || *end != '\0' || o.timeout < 1)) {
                return "--timeout needs a whole number of seconds above 0";
            }
        } else if (a == "--tls") {
            o.tls = true;
        } else if (a == "--ca-file") {
            value(o.caFile);
            o.tls = true;
        } else if (a == "--trust-sha256") {
            std::string fingerprint;
            value(fingerprint);
            o.trustSha256 = NormalizeSha256Fingerprint(fingerprint);
            if (ok && !o.trustSha256) {
                return "--trust-sha256 needs a SHA-256 fingerprint (64 hexadecimal digits)";
            }
            o.tls = true;
        } else if (a == "--mkdir") {
            o.mkdir = true;
        } else if (a == "--passive" || a == "--active") {
            const bool passive = a == "--passive";
            if (o.passive && *o.passive != passive) {
                return "give only one of --passive and --active";
            }
            o.passive = passive;
        } else if (a.size() > 1 && a[0] == '-') {
            return "unknown option " + a;
        } else {
            o.files.push_back(a);
        }
        if (!ok) {
            return a + " needs a value";
        }
    }
    if (!o.passwordFile.empty() && !o.passwordEnv.empty()) {
        return "give only one of --password-file and --password-env";
    }
    return std::nullopt;
}

void FillFromProfile(TUploadOptions& o, const TServerProfile& profile) {
    if (!o.host)
        o.host = profile.host;
    if (!o.port)
        o.port = profile.port;
    if (!o.user)
        o.user = profile.user;
    if (!o.dir)
        o.dir = profile.initialDir;
    if (!o.passive)
        o.passive = profile.passive;
    if (!o.tls)
        o.tls = profile.tls;
    if (!o.trustSha256 && !profile.tlsFingerprint.empty())
        o.trustSha256 = profile.tlsFingerprint;
    if (o.passwordFile.empty() && o.passwordEnv.empty())
        o.password = profile.password;
}

std::optional<std::string> CheckUploadOptions(const TUploadOptions& o) {
    const std::string orProfile = o.profile.empty() ? "" : " (the profile has none)";
    if (o.host.value_or("").empty()) {
        return "--host is required" + orProfile;
    }
    if (o.user.value_or("").empty()) {
        return "--user is required" + orProfile;
    }
    // A port name such as "ftp" is fine for the name lookup; an empty one is not.
    if (o.port && o.port->empty()) {
        return "the port is empty";
    }
    if (!o.password && o.passwordFile.empty() && o.passwordEnv.empty()) {
        return "give one of --password-file and --password-env, or --profile";
    }
    if (o.files.empty()) {
        return "no file to upload";
    }
    return std::nullopt;
}

}  // namespace tessel
