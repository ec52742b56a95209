#include "TestCertificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <stdexcept>

namespace tessel::test {

namespace fs = std::filesystem;

struct TTestCa::TKeys {
    EVP_PKEY* key = nullptr;
    X509* cert = nullptr;
    ~TKeys() {
        X509_free(cert);
        EVP_PKEY_free(key);
    }
};

namespace {

EVP_PKEY* NewKey() {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    if (key == nullptr) {
        throw std::runtime_error("cannot make a test key");
    }
    return key;
}

void AddExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

X509* NewCert(EVP_PKEY* key, const std::string& name, long notBefore, long notAfter) {
    static long serial = 1;
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), ++serial);
    X509_gmtime_adj(X509_getm_notBefore(cert), notBefore);
    X509_gmtime_adj(X509_getm_notAfter(cert), notAfter);
    X509_set_pubkey(cert, key);
    X509_NAME* subject = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(subject, "O", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Tessel Tests"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(name.c_str()), -1, -1, 0);
    return cert;
}

std::string Fingerprint(X509* cert) {
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    X509_digest(cert, EVP_sha256(), md, &len);
    std::string text;
    char pair[4];
    for (unsigned int i = 0; i < len; ++i) {
        std::snprintf(pair, sizeof pair, i == 0 ? "%02X" : ":%02X", md[i]);
        text += pair;
    }
    return text;
}

FILE* OpenForWriting(const fs::path& file) {
    fs::create_directories(file.parent_path());
    FILE* f = std::fopen(file.c_str(), "w");
    if (f == nullptr) {
        throw std::runtime_error("cannot write " + file.string());
    }
    return f;
}

void WritePem(const fs::path& certFile, const fs::path& keyFile, X509* cert, EVP_PKEY* key) {
    FILE* f = OpenForWriting(certFile);
    PEM_write_X509(f, cert);
    std::fclose(f);
    if (key != nullptr) {
        f = OpenForWriting(keyFile);
        PEM_write_PrivateKey(f, key, nullptr, nullptr, 0, nullptr, nullptr);
        std::fclose(f);
    }
}

}  // namespace

TTestCa::TTestCa(const fs::path& dir) : FDir(dir), FCaFile(dir / "ca.pem"), FCa(new TKeys) {
    FCa->key = NewKey();
    FCa->cert = NewCert(FCa->key, "Tessel Test CA", -3600, 86400);
    X509_set_issuer_name(FCa->cert, X509_get_subject_name(FCa->cert));
    AddExtension(FCa->cert, FCa->cert, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(FCa->cert, FCa->cert, NID_key_usage, "critical,keyCertSign,cRLSign");
    AddExtension(FCa->cert, FCa->cert, NID_subject_key_identifier, "hash");
    X509_sign(FCa->cert, FCa->key, EVP_sha256());
    WritePem(FCaFile, {}, FCa->cert, nullptr);
}

TTestCa::~TTestCa() = default;

TTestCertificate TTestCa::Issue(const std::string& name, const std::string& san, long notBefore,
                                long notAfter) {
    TKeys leaf;
    leaf.key = NewKey();
    leaf.cert = NewCert(leaf.key, name, notBefore, notAfter);
    X509_set_issuer_name(leaf.cert, X509_get_subject_name(FCa->cert));
    AddExtension(leaf.cert, FCa->cert, NID_subject_alt_name, san);
    AddExtension(leaf.cert, FCa->cert, NID_ext_key_usage, "serverAuth");
    AddExtension(leaf.cert, FCa->cert, NID_authority_key_identifier, "keyid");
    X509_sign(leaf.cert, FCa->key, EVP_sha256());
    TTestCertificate result{FDir / (name + ".pem"), FDir / (name + ".key"), Fingerprint(leaf.cert)};
    WritePem(result.certFile, result.keyFile, leaf.cert, leaf.key);
    return result;
}

TTestCertificate TTestCa::SelfSigned(const std::string& name, const std::string& san) {
    TKeys own;
    own.key = NewKey();
    own.cert = NewCert(own.key, name, -60, 86400);
    X509_set_issuer_name(own.cert, X509_get_subject_name(own.cert));
    AddExtension(own.cert, own.cert, NID_subject_alt_name, san);
    X509_sign(own.cert, own.key, EVP_sha256());
    TTestCertificate result{FDir / (name + ".pem"), FDir / (name + ".key"), Fingerprint(own.cert)};
    WritePem(result.certFile, result.keyFile, own.cert, own.key);
    return result;
}

}  // namespace tessel::test
