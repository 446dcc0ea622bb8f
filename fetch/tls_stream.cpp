#include "fetch/tls_stream.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>

#include <ctime>

namespace quor::fetch {

namespace {

// OpenSSL writes to the socket with write(), so a server that has gone away would raise SIGPIPE
// and end the whole program. The signal is held back on this thread while OpenSSL works, and a
// SIGPIPE it raised is taken off again, so the failed write is an error like any other.
class SigpipeHeld final {
public:
    SigpipeHeld() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        wasPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &previous_);
    }
    ~SigpipeHeld() {
        if (!wasPending_) {
            sigset_t pending;
            sigpending(&pending);
            if (sigismember(&pending, SIGPIPE) == 1) {
                const timespec now{0, 0};
                sigtimedwait(&pipe_, nullptr, &now);
            }
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }
    SigpipeHeld(const SigpipeHeld&) = delete;
    SigpipeHeld& operator=(const SigpipeHeld&) = delete;

private:
    sigset_t pipe_;
    sigset_t previous_;
    bool wasPending_ = false;
};

std::string TakeOpenSslReason(const char* fallback) {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    const char* reason = code != 0 ? ERR_reason_error_string(code) : nullptr;
    return reason ? reason : fallback;
}

// One context for the process: it holds the trust store, read when it is made. Made on first
// use, so a test can point SSL_CERT_FILE at its own authority before that.
SSL_CTX* SharedContext() {
    static SSL_CTX* const context = [] {
        SSL_CTX* made = SSL_CTX_new(TLS_client_method());
        if (made == nullptr)
            return made;
        SSL_CTX_set_min_proto_version(made, TLS1_2_VERSION);
        SSL_CTX_set_verify(made, SSL_VERIFY_PEER, nullptr);
        SSL_CTX_set_default_verify_paths(made);
        SSL_CTX_set_options(made, SSL_OP_IGNORE_UNEXPECTED_EOF);
        return made;
    }();
    return context;
}

bool IsIpAddress(const std::string& host) {
    unsigned char address[16];
    return inet_pton(AF_INET, host.c_str(), address) == 1 ||
           inet_pton(AF_INET6, host.c_str(), address) == 1;
}

// Host name for SNI and for the certificate check; an address is checked but never sent as SNI.
bool NameTheHost(SSL* ssl, const std::string& host) {
    if (IsIpAddress(host))
        return X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), host.c_str()) == 1;
    return SSL_set_tlsext_host_name(ssl, host.c_str()) == 1 &&
           SSL_set1_host(ssl, host.c_str()) == 1;
}

TlsStatus FromWait(IoStatus status) {
    if (status == IoStatus::kTimedOut)
        return TlsStatus::kTimedOut;
    if (status == IoStatus::kCancelled)
        return TlsStatus::kCancelled;
    return TlsStatus::kFailed;
}

bool WantsIo(int sslError) {
    return sslError == SSL_ERROR_WANT_READ || sslError == SSL_ERROR_WANT_WRITE;
}

}  // namespace

TlsStream::TlsStream(std::unique_ptr<TcpStream> tcp, ssl_st* ssl)
    : tcp_(std::move(tcp)), ssl_(ssl) {}

TlsStream::~TlsStream() {
    SSL_free(ssl_);
}

IoStatus TlsStream::WaitFor(int sslError) const {
    return tcp_->WaitReady(sslError == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN);
}

IoStatus TlsStream::AfterIncomplete(int sslError) const {
    if (WantsIo(sslError))
        return WaitFor(sslError);
    ERR_clear_error();
    return IoStatus::kFailed;
}

TlsStream::Opened TlsStream::Handshake(std::unique_ptr<TcpStream> tcp, const std::string& host) {
    Opened opened;
    SSL_CTX* context = SharedContext();
    SSL* ssl = context != nullptr ? SSL_new(context) : nullptr;
    if (ssl == nullptr) {
        opened.reason = TakeOpenSslReason("no TLS context");
        return opened;
    }
    std::unique_ptr<TlsStream> stream(new TlsStream(std::move(tcp), ssl));
    if (!NameTheHost(ssl, host) || SSL_set_fd(ssl, stream->tcp_->Fd()) != 1) {
        opened.reason = TakeOpenSslReason("the host name cannot be checked");
        return opened;
    }
    const SigpipeHeld held;
    ERR_clear_error();
    for (;;) {
        const int result = SSL_connect(ssl);
        if (result == 1)
            break;
        const int sslError = SSL_get_error(ssl, result);
        if (WantsIo(sslError)) {
            const IoStatus ready = stream->WaitFor(sslError);
            if (ready == IoStatus::kOk)
                continue;
            opened.status = FromWait(ready);
            opened.reason = "no progress in the handshake";
            return opened;
        }
        const long verify = SSL_get_verify_result(ssl);
        if (verify != X509_V_OK) {
            ERR_clear_error();
            opened.status = TlsStatus::kNotTrusted;
            opened.reason = X509_verify_cert_error_string(verify);
        } else {
            opened.reason = TakeOpenSslReason("the server closed the connection in the handshake");
        }
        return opened;
    }
    opened.status = TlsStatus::kOk;
    opened.stream = std::move(stream);
    return opened;
}

IoResult TlsStream::SendAll(std::string_view bytes) {
    const SigpipeHeld held;
    IoResult result;
    ERR_clear_error();
    while (result.bytes < bytes.size()) {
        std::size_t written = 0;
        const int done =
            SSL_write_ex(ssl_, bytes.data() + result.bytes, bytes.size() - result.bytes, &written);
        if (done == 1) {
            result.bytes += written;
            continue;
        }
        const IoStatus next = AfterIncomplete(SSL_get_error(ssl_, done));
        if (next != IoStatus::kOk) {
            result.status = next;
            return result;
        }
    }
    return result;
}

IoResult TlsStream::Receive(char* buffer, std::size_t size) {
    const SigpipeHeld held;
    IoResult result;
    ERR_clear_error();
    for (;;) {
        std::size_t read = 0;
        const int done = SSL_read_ex(ssl_, buffer, size, &read);
        if (done == 1) {
            result.bytes = read;
            return result;
        }
        const int sslError = SSL_get_error(ssl_, done);
        const IoStatus next =
            sslError == SSL_ERROR_ZERO_RETURN ? IoStatus::kClosed : AfterIncomplete(sslError);
        if (next != IoStatus::kOk) {
            result.status = next;
            return result;
        }
    }
}

}  // namespace quor::fetch
