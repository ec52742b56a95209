#pragma once

// Certificates made by the tests themselves: a throwaway certificate authority and the
// server certificates it issues (or self-signed ones), as PEM files in a folder.

#include <filesystem>
#include <memory>
#include <string>

namespace tessel::test {

struct TTestCertificate {
    std::filesystem::path certFile;
    std::filesystem::path keyFile;
    std::string sha256;  // "AB:CD:..."
};

class TTestCa {
  public:
    explicit TTestCa(const std::filesystem::path& dir);
    ~TTestCa();
    const std::filesystem::path& CaFile() const { return FCaFile; }

    // A certificate for subjectAltName san (e.g. "IP:127.0.0.1,DNS:localhost"), valid from
    // now + notBefore seconds to now + notAfter seconds.
    TTestCertificate Issue(const std::string& name, const std::string& san, long notBefore = -60,
                           long notAfter = 86400);
    // The same, signed by itself instead of the authority.
    TTestCertificate SelfSigned(const std::string& name, const std::string& san);

  private:
    struct TKeys;
    std::filesystem::path FDir;
    std::filesystem::path FCaFile;
    std::unique_ptr<TKeys> FCa;
};

}  // namespace tessel::test
