#pragma once

// What the TLS layer of the socket tells its users, without any OpenSSL type: the server
// certificate's details (for a window that asks whether to trust it) and the error codes.

#include <string>

namespace tessel {

struct TTlsCertificateInfo {
    std::string issuedTo;   // subject, e.g. "CN=ftp.example.org,O=Example"
    std::string issuedBy;   // issuer, in the same form
    std::string validFrom;  // "2026-12-08 14:00:00 UTC"
    std::string validTo;
    std::string sha256;  // "AB:CD:...", the form NormalizeSha256Fingerprint writes

    bool Empty() const { return sha256.empty(); }
};

// Codes of the TLS layer, above the Winsock and SOCKS ranges.
constexpr int kTlsHandshakeFailed = 20101;
constexpr int kTlsCertificateUntrusted = 20102;
constexpr int kTlsCertificateChanged = 20103;
constexpr int kTlsNoCloseNotify = 20104;
constexpr int kTlsProtocolError = 20105;

constexpr bool IsTlsError(int code) {
    return code >= kTlsHandshakeFailed && code <= kTlsProtocolError;
}

}  // namespace tessel
