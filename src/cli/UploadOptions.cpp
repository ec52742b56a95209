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
            // The form tells which: a certificate's hexadecimal one, or a host key's.
            std::string fingerprint;
            value(fingerprint);
            o.sshHostKey = NormalizeSshFingerprint(fingerprint);
            if (!o.sshHostKey) {
                o.trustSha256 = NormalizeSha256Fingerprint(fingerprint);
                if (ok && !o.trustSha256) {
                    return "--trust-sha256 needs a SHA-256 fingerprint (64 hexadecimal digits, or "
                           "SHA256: and 43 Base64 characters for an SSH host key)";
                }
                o.tls = true;
            }
        } else if (a == "--sftp") {
            o.sftp = true;
        } else if (a == "--key" || a == "--agent") {
            const TSshAuth auth = a == "--key" ? TSshAuth::KeyFile : TSshAuth::Agent;
            if (o.sshAuth && *o.sshAuth != auth) {
                return "give only one of --key and --agent";
            }
            o.sshAuth = auth;
            if (auth == TSshAuth::KeyFile) {
                value(o.keyFile);
            }
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
    if (o.sftp.value_or(false)) {
        if (o.tls) {
            return "--sftp encrypts by SSH: --tls, --ca-file and a certificate's fingerprint do "
                   "not apply";
        }
        if (o.passive) {
            return "--passive and --active do not apply to --sftp";
        }
    }
    return std::nullopt;
}

void FillFromProfile(TUploadOptions& o, const TServerProfile& profile) {
    if (!o.host)
        o.host = profile.host;
    if (!o.user)
        o.user = profile.user;
    if (!o.dir)
        o.dir = profile.initialDir;
    if (!o.sftp)
        o.sftp = profile.sftp;
    // A port stored for the other way to send would be the wrong server.
    if (!o.port && *o.sftp == profile.sftp)
        o.port = profile.port;
    if (*o.sftp) {
        if (!o.sshAuth) {
            o.sshAuth = profile.sshAuth;
            o.keyFile = profile.sshKeyFile;
        }
        if (!o.sshHostKey && !profile.sshHostKey.empty())
            o.sshHostKey = profile.sshHostKey;
    } else {
        if (!o.passive)
            o.passive = profile.passive;
        if (!o.tls)
            o.tls = profile.tls;
        if (!o.trustSha256 && !profile.tlsFingerprint.empty())
            o.trustSha256 = profile.tlsFingerprint;
    }
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
    const bool sftp = o.sftp.value_or(false);
    if (sftp && o.tls.value_or(false)) {
        return "the profile sends by SFTP: --tls, --ca-file and a certificate's fingerprint do "
               "not apply";
    }
    if (!sftp && (o.sshAuth || o.sshHostKey)) {
        return "--key, --agent and a host key's fingerprint (SHA256:...) are for --sftp";
    }
    const TSshAuth auth = o.sshAuth.value_or(TSshAuth::Password);
    if (sftp && auth == TSshAuth::KeyFile && o.keyFile.empty()) {
        return "the profile logs in with a key file but names none: give --key FILE";
    }
    // A key file's passphrase is asked when it is needed; the agent needs nothing.
    if (auth == TSshAuth::Password && !o.password && o.passwordFile.empty() &&
        o.passwordEnv.empty()) {
        return "give one of --password-file and --password-env, or --profile";
    }
    if (o.files.empty()) {
        return "no file to upload";
    }
    return std::nullopt;
}

}  // namespace tessel
