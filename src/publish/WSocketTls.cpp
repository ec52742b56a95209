// The TLS layer of the socket: OpenSSL 3 as a TLS client over two memory BIOs, so the
// socket keeps doing all the I/O on the event loop and OpenSSL only turns bytes into
// bytes. The certificate is judged after the handshake, before any application data
// moves: a pinned fingerprint must match exactly, otherwise the chain must verify against
// the trust store and the certificate must name the host.

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <array>
#include <ctime>

#include "publish/WSocket.h"
#include "publish/WSocketErrors.h"
#include "publish/core/Fingerprint.h"

namespace tessel {

namespace {

// One TLS record is at most 16 KiB of plaintext plus its overhead.
constexpr int kCipherReadChunk = 16 * 1024 + 512;
// Ciphertext taken from the system but not yet decrypted never exceeds this.
constexpr std::size_t kCipherInputCap = 2 * kCipherReadChunk;
constexpr int kPlainCapacity = 16 * 1024;
// More than the largest overhead of a record (a TLS 1.2 CBC suite's header, IV, MAC and
// padding): a record fits one block of the send queue and leaves in one system call.
constexpr int kRecordOverhead = 256;

enum TTlsPhase {
    tpNone,       // plain connection
    tpHandshake,  // ClientHello sent, waiting for the server
    tpOpen,       // protected; plaintext flows
    tpClosing,    // our close_notify is out, waiting for the peer's
    tpDone,       // the peer's close_notify arrived
    tpFailed,
};

std::string OpenSslErrorText() {
    std::string text;
    while (const unsigned long e = ERR_get_error()) {
        char buf[256];
        ERR_error_string_n(e, buf, sizeof buf);
        text = buf;  // the last one is the most specific
    }
    return text.empty() ? std::string("no details") : text;
}

bool IsIpAddress(const std::string& host) {
    in_addr v4{};
    in6_addr v6{};
    return inet_pton(AF_INET, host.c_str(), &v4) == 1 ||
           inet_pton(AF_INET6, host.c_str(), &v6) == 1;
}

std::string NameText(const X509_NAME* name) {
    BIO* bio = BIO_new(BIO_s_mem());
    X509_NAME_print_ex(bio, name, 0, XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
    char* data = nullptr;
    const long n = BIO_get_mem_data(bio, &data);
    std::string text(data, static_cast<std::size_t>(std::max(n, 0L)));
    BIO_free(bio);
    return text;
}

std::string TimeText(const ASN1_TIME* time) {
    std::tm tm{};
    if (time == nullptr || ASN1_TIME_to_tm(time, &tm) != 1) {
        return {};
    }
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S UTC", &tm);
    return buf;
}

TTlsCertificateInfo Describe(X509* cert) {
    TTlsCertificateInfo info;
    info.issuedTo = NameText(X509_get_subject_name(cert));
    info.issuedBy = NameText(X509_get_issuer_name(cert));
    info.validFrom = TimeText(X509_get0_notBefore(cert));
    info.validTo = TimeText(X509_get0_notAfter(cert));
    std::array<unsigned char, EVP_MAX_MD_SIZE> md{};
    unsigned int len = 0;
    if (X509_digest(cert, EVP_sha256(), md.data(), &len) == 1) {
        static const char* const hex = "0123456789ABCDEF";
        for (unsigned int i = 0; i < len; ++i) {
            if (i != 0) {
                info.sha256 += ':';
            }
            info.sha256 += hex[md[i] >> 4];
            info.sha256 += hex[md[i] & 0x0F];
        }
    }
    return info;
}

}  // namespace

struct TCustomTlsWSocket::TTlsState {
    std::shared_ptr<SSL_CTX> ctx;
    std::string ctxCaFile;
    SSL* ssl = nullptr;
    BIO* rbio = nullptr;  // owned by ssl
    BIO* wbio = nullptr;  // owned by ssl
    SSL_SESSION* reuse = nullptr;
    TTlsPhase phase = tpNone;
    std::vector<char> plain = std::vector<char>(kPlainCapacity);
    std::size_t plainPos = 0;
    std::size_t plainLen = 0;
    std::vector<char> gathered;  // plaintext of the next record, with TlsGatherWrites

    ~TTlsState() {
        FreeSsl();
        SSL_SESSION_free(reuse);
    }
    void FreeSsl() {
        SSL_free(ssl);
        ssl = nullptr;
        rbio = wbio = nullptr;
        plainPos = plainLen = 0;
        gathered.clear();
    }
    std::size_t PlainLeft() const { return plainLen - plainPos; }
};

TCustomTlsWSocket::TCustomTlsWSocket() : FTls(std::make_unique<TTlsState>()) {}

TCustomTlsWSocket::~TCustomTlsWSocket() = default;

bool TCustomTlsWSocket::TlsActive() const {
    return FTls->phase == tpOpen;
}

bool TCustomTlsWSocket::TlsSessionReused() const {
    return FTls->ssl != nullptr && SSL_session_reused(FTls->ssl) == 1;
}

void TCustomTlsWSocket::ReuseTlsSessionOf(const TCustomTlsWSocket& other) {
    SSL_SESSION_free(FTls->reuse);
    FTls->reuse = other.FTls->ssl != nullptr ? SSL_get1_session(other.FTls->ssl) : nullptr;
    if (other.FTls->ctx) {
        FTls->ctx = other.FTls->ctx;
        FTls->ctxCaFile = other.FTls->ctxCaFile;
    }
}

bool TCustomTlsWSocket::StartTls() {
    TTlsState& t = *FTls;
    FTlsErrorText.clear();
    FTlsCertificate = {};
    t.FreeSsl();
    t.phase = tpNone;
    if (State() != wsConnected) {
        FTlsErrorText = "TLS: the connection is not open";
        RaiseException(FTlsErrorText);
        return false;
    }
    if (!t.ctx || t.ctxCaFile != TlsCaFile) {
        SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
        if (ctx == nullptr) {
            FTlsErrorText = "TLS: " + OpenSslErrorText();
            RaiseException(FTlsErrorText);
            return false;
        }
        t.ctx.reset(ctx, SSL_CTX_free);
        t.ctxCaFile = TlsCaFile;
        SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
        // The verdict is taken after the handshake, so that a refused certificate can
        // still be shown to the user.
        SSL_CTX_set_verify(ctx, SSL_VERIFY_NONE, nullptr);
        const bool loaded =
            TlsCaFile.empty() ? SSL_CTX_set_default_verify_paths(ctx) == 1
                              : SSL_CTX_load_verify_locations(ctx, TlsCaFile.c_str(), nullptr) == 1;
        if (!loaded) {
            t.ctx.reset();
            FTlsErrorText = "TLS: cannot read the trusted certificates" +
                            (TlsCaFile.empty() ? std::string() : " in " + TlsCaFile);
            ERR_clear_error();
            RaiseException(FTlsErrorText);
            return false;
        }
    }
    t.ssl = SSL_new(t.ctx.get());
    t.rbio = BIO_new(BIO_s_mem());
    t.wbio = BIO_new(BIO_s_mem());
    SSL_set_bio(t.ssl, t.rbio, t.wbio);
    SSL_set_connect_state(t.ssl);
    if (!TlsHostName.empty()) {
        if (IsIpAddress(TlsHostName)) {
            X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(t.ssl), TlsHostName.c_str());
        } else {
            SSL_set_tlsext_host_name(t.ssl, TlsHostName.c_str());
            SSL_set1_host(t.ssl, TlsHostName.c_str());
        }
    }
    if (t.reuse != nullptr) {
        SSL_set_session(t.ssl, t.reuse);
    }
    t.phase = tpHandshake;
    SetSendBlockSize(TlsGatherWrites ? kPlainCapacity + kRecordOverhead
                                     : kSendBlockSize + kRecordOverhead);
    const int r = SSL_do_handshake(t.ssl);
    if (r != 1 && SSL_get_error(t.ssl, r) != SSL_ERROR_WANT_READ) {
        FTlsErrorText = "TLS handshake failed: " + OpenSslErrorText();
        t.phase = tpFailed;
        RaiseException(FTlsErrorText);
        return false;
    }
    return FlushTlsOutput();
}

// Hands what OpenSSL wrote to the socket's send queue.
bool TCustomTlsWSocket::FlushTlsOutput() {
    BIO* out = FTls->wbio;
    if (out == nullptr || BIO_ctrl_pending(out) == 0) {
        return true;
    }
    // All of it in one Send, so that a record leaves in as few system calls as it can.
    // Send copies the bytes into its queue before anything else can happen.
    char* data = nullptr;
    const long n = BIO_get_mem_data(out, &data);
    const auto alive = AliveToken();
    const int sent = TCustomWSocket::Send(data, static_cast<int>(n));
    if (alive.expired()) {
        return false;
    }
    if (FTls->wbio == out) {
        (void)BIO_reset(out);
    }
    return sent >= 0;
}

// Encrypts the gathered plaintext as one record.
bool TCustomTlsWSocket::WriteGathered() {
    TTlsState& t = *FTls;
    if (t.gathered.empty()) {
        return true;
    }
    const int r = SSL_write(t.ssl, t.gathered.data(), static_cast<int>(t.gathered.size()));
    t.gathered.clear();
    if (r <= 0) {
        TlsFail(kTlsProtocolError, "TLS error: " + OpenSslErrorText());
        return false;
    }
    return true;
}

void TCustomTlsWSocket::PullCiphertext() {
    if (FTls->rbio == nullptr || BIO_ctrl_pending(FTls->rbio) >= kCipherInputCap) {
        return;
    }
    std::array<char, kCipherReadChunk> buf;
    const int n = TCustomSocksWSocket::Receive(buf.data(), static_cast<int>(buf.size()));
    if (n > 0) {
        BIO_write(FTls->rbio, buf.data(), n);
    }
}

bool TCustomTlsWSocket::TriggerDataAvailable(std::uint16_t error) {
    if (FTls->phase == tpNone) {
        return TCustomSocksWSocket::TriggerDataAvailable(error);
    }
    if (FTls->phase == tpOpen && FTls->PlainLeft() > 0) {
        DeliverPlaintext();
        return true;
    }
    PullCiphertext();
    switch (FTls->phase) {
        case tpHandshake:
            ContinueHandshake();
            break;
        case tpOpen:
            DeliverPlaintext();
            break;
        case tpClosing:
            DrainWhileClosing();
            break;
        default:
            break;
    }
    return true;
}

void TCustomTlsWSocket::ContinueHandshake() {
    const int r = SSL_do_handshake(FTls->ssl);
    const int e = r == 1 ? SSL_ERROR_NONE : SSL_get_error(FTls->ssl, r);
    if (!FlushTlsOutput()) {
        return;
    }
    if (r == 1) {
        HandshakeDone();
    } else if (e != SSL_ERROR_WANT_READ) {
        TlsFail(kTlsHandshakeFailed, "TLS handshake failed: " + OpenSslErrorText());
    }
}

void TCustomTlsWSocket::HandshakeDone() {
    X509* cert = SSL_get1_peer_certificate(FTls->ssl);
    if (cert == nullptr) {
        TlsFail(kTlsHandshakeFailed, "TLS handshake failed: the server sent no certificate");
        return;
    }
    FTlsCertificate = Describe(cert);
    X509_free(cert);
    if (!TlsPinnedSha256.empty()) {
        if (NormalizeSha256Fingerprint(TlsPinnedSha256) != FTlsCertificate.sha256) {
            TlsFail(kTlsCertificateChanged,
                    "The server's certificate has changed: it is not the certificate trusted "
                    "for this server");
            return;
        }
    } else if (const long result = SSL_get_verify_result(FTls->ssl); result != X509_V_OK) {
        TlsFail(kTlsCertificateUntrusted, std::string("The server's certificate is not trusted: ") +
                                              X509_verify_cert_error_string(result));
        return;
    }
    FTls->phase = tpOpen;
    const auto alive = AliveToken();
    if (OnTlsDone) {
        OnTlsDone(this, 0);
        if (alive.expired()) {
            return;
        }
    }
    // Data may have come right behind the server's last handshake message.
    if (FTls->phase == tpOpen) {
        DeliverPlaintext();
    }
}

// Decrypts what has arrived, one record at a time, and lets the user read it.
void TCustomTlsWSocket::DeliverPlaintext() {
    const auto alive = AliveToken();
    TTlsState& t = *FTls;
    while (t.phase == tpOpen) {
        if (t.PlainLeft() == 0) {
            const int r = SSL_read(t.ssl, t.plain.data(), kPlainCapacity);
            if (r <= 0) {
                const int e = SSL_get_error(t.ssl, r);
                if (e == SSL_ERROR_WANT_READ) {
                    FlushTlsOutput();  // a key update may want an answer
                } else if (e == SSL_ERROR_ZERO_RETURN) {
                    PeerSentCloseNotify();
                } else {
                    TlsFail(kTlsProtocolError, "TLS error: " + OpenSslErrorText());
                }
                return;
            }
            t.plainPos = 0;
            t.plainLen = static_cast<std::size_t>(r);
        }
        const std::size_t before = t.PlainLeft();
        TCustomWSocket::TriggerDataAvailable(0);
        if (alive.expired()) {
            return;
        }
        if (t.PlainLeft() == before) {
            return;  // the user reads no more now; the rest waits for the next event
        }
    }
}

// After our close_notify only the peer's matters; anything else it still sends is dropped.
void TCustomTlsWSocket::DrainWhileClosing() {
    TTlsState& t = *FTls;
    while (t.phase == tpClosing) {
        const int r = SSL_read(t.ssl, t.plain.data(), kPlainCapacity);
        if (r > 0) {
            continue;
        }
        const int e = SSL_get_error(t.ssl, r);
        if (e == SSL_ERROR_ZERO_RETURN) {
            PeerSentCloseNotify();
        } else if (e != SSL_ERROR_WANT_READ) {
            TlsFail(kTlsProtocolError, "TLS error: " + OpenSslErrorText());
        }
        return;
    }
}

void TCustomTlsWSocket::PeerSentCloseNotify() {
    if (FTls->phase == tpOpen) {
        SSL_shutdown(FTls->ssl);  // our answering close_notify
        if (!FlushTlsOutput()) {
            return;
        }
    }
    FTls->phase = tpDone;
    InternalClose(true, 0);
}

void TCustomTlsWSocket::TlsFail(int code, const std::string& text) {
    const bool handshaking = FTls->phase == tpHandshake;
    FTls->phase = tpFailed;
    FTlsErrorText = text;
    ERR_clear_error();
    const auto alive = AliveToken();
    if (handshaking && OnTlsDone) {
        OnTlsDone(this, static_cast<std::uint16_t>(code));
        if (alive.expired()) {
            return;
        }
    }
    if (State() != wsClosed) {
        InternalClose(true, static_cast<std::uint16_t>(code));
    }
}

int TCustomTlsWSocket::Send(const void* data, int length) {
    TTlsState& t = *FTls;
    if (t.phase == tpNone) {
        return TCustomSocksWSocket::Send(data, length);
    }
    if (t.phase != tpOpen || State() != wsConnected) {
        SetLastError(WSAENOTCONN);
        return -1;
    }
    length = std::max(length, 0);
    if (TlsGatherWrites) {
        const auto* bytes = static_cast<const char*>(data);
        if (t.gathered.size() + static_cast<std::size_t>(length) > kPlainCapacity &&
            !WriteGathered()) {
            return -1;
        }
        t.gathered.insert(t.gathered.end(), bytes, bytes + length);
        if (t.gathered.size() + kSendBlockSize > kPlainCapacity && !WriteGathered()) {
            return -1;
        }
    } else if (length > 0 && SSL_write(t.ssl, data, length) <= 0) {
        TlsFail(kTlsProtocolError, "TLS error: " + OpenSslErrorText());
        return -1;
    }
    if (BIO_ctrl_pending(t.wbio) == 0) {
        // Nothing to send yet still owes the caller its OnDataSent.
        return TCustomWSocket::Send(data, 0) < 0 ? -1 : length;
    }
    return FlushTlsOutput() ? length : -1;
}

// Plaintext gathered for the next record has not even been encrypted yet.
long long TCustomTlsWSocket::UnsentCount() const {
    return TCustomSocksWSocket::UnsentCount() + static_cast<long long>(FTls->gathered.size());
}

int TCustomTlsWSocket::Receive(void* buffer, int size) {
    TTlsState& t = *FTls;
    if (t.phase == tpNone) {
        return TCustomSocksWSocket::Receive(buffer, size);
    }
    const std::size_t n = std::min(t.PlainLeft(), static_cast<std::size_t>(std::max(size, 0)));
    if (n == 0) {
        SetLastError(WSAEWOULDBLOCK);
        return -1;
    }
    std::copy_n(t.plain.data() + t.plainPos, n, static_cast<char*>(buffer));
    t.plainPos += n;
    return static_cast<int>(n);
}

// Counts the ciphertext still waiting too: a close must not leave the last record unread.
int TCustomTlsWSocket::RcvdCount() {
    if (FTls->phase == tpNone) {
        return TCustomSocksWSocket::RcvdCount();
    }
    return static_cast<int>(FTls->PlainLeft()) + TCustomSocksWSocket::RcvdCount();
}

void TCustomTlsWSocket::Close() {
    TTlsState& t = *FTls;
    if (t.phase == tpOpen && State() == wsConnected) {
        if (!WriteGathered()) {
            return;
        }
        t.phase = tpClosing;
        SSL_shutdown(t.ssl);
        FlushTlsOutput();
        return;  // the peer's close_notify, or its end, finishes the close
    }
    // A second Close while waiting for the peer closes at once.
    TCustomSocksWSocket::Close();
}

void TCustomTlsWSocket::Listen() {
    FTls->FreeSsl();
    FTls->phase = tpNone;
    SetSendBlockSize(kSendBlockSize);
    TCustomSocksWSocket::Listen();
}

void TCustomTlsWSocket::TriggerSessionConnected(std::uint16_t error) {
    FTls->FreeSsl();  // a new connection is plain until StartTls
    FTls->phase = tpNone;
    SetSendBlockSize(kSendBlockSize);
    TCustomSocksWSocket::TriggerSessionConnected(error);
}

void TCustomTlsWSocket::TriggerDataSent(std::uint16_t error) {
    // The handshake's and the close's own records are no data of the user's.
    if (FTls->phase == tpNone || FTls->phase == tpOpen) {
        TCustomSocksWSocket::TriggerDataSent(error);
    }
}

// Our own closes arrive here with the socket already closed; the peer's end of the
// connection arrives while it is still open.
void TCustomTlsWSocket::TriggerSessionClosed(std::uint16_t error) {
    const TTlsPhase phase = FTls->phase;
    FTls->phase = tpNone;
    const bool peerEnded = State() != wsClosed;
    if (peerEnded && phase == tpHandshake) {
        FTls->phase = tpFailed;
        FTlsErrorText = "TLS handshake failed: the server closed the connection";
        error = kTlsHandshakeFailed;
        const auto alive = AliveToken();
        if (OnTlsDone) {
            OnTlsDone(this, error);
            if (alive.expired()) {
                return;
            }
        }
    }
    if (peerEnded && error == 0 && (phase == tpOpen || phase == tpClosing)) {
        // Without a close_notify nobody can tell the end of the data from a cut.
        error = kTlsNoCloseNotify;
        FTlsErrorText = "The connection ended without a TLS close";
    }
    TCustomSocksWSocket::TriggerSessionClosed(error);
}

}  // namespace tessel
