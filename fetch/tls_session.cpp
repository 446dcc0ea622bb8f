#include "fetch/tls_session.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>

#include <cerrno>
#include <cstring>

namespace quor::fetch {

namespace {

constexpr int kSliceMs = 100;

std::string OpenSslError(std::string_view what)
{
    std::string text(what);
    const unsigned long code = ERR_get_error();
    if (code != 0) {
        char buffer[256];
        ERR_error_string_n(code, buffer, sizeof buffer);
        text += ": ";
        text += buffer;
    }
    ERR_clear_error();
    return text;
}

// One context for the process: it holds the trust store, read once.
SSL_CTX* SharedContext(std::string& error)
{
    static SSL_CTX* const context = [] {
        SSL_CTX* ctx = SSL_CTX_new(TLS_client_method());
        if (!ctx)
            return ctx;
        SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
        SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
        SSL_CTX_set_default_verify_paths(ctx);
        // Boards close the connection to end a response; many do so without a close_notify.
        SSL_CTX_set_options(ctx, SSL_OP_IGNORE_UNEXPECTED_EOF);
        return ctx;
    }();
    if (!context)
        error = OpenSslError("cannot create a TLS context");
    return context;
}

bool IsIpAddress(const std::string& host)
{
    unsigned char address[16];
    return inet_pton(AF_INET, host.c_str(), address) == 1 ||
           inet_pton(AF_INET6, host.c_str(), address) == 1;
}

}  // namespace

struct TlsSession::Impl {
    ~Impl()
    {
        if (ssl)
            SSL_free(ssl);
    }

    // Waits until the socket is ready for what OpenSSL asked; false when the idle limit passed
    // or the caller cancelled.
    bool Wait(int sslError, std::string& error)
    {
        const short events = sslError == SSL_ERROR_WANT_WRITE ? POLLOUT : POLLIN;
        for (auto waited = std::chrono::milliseconds(0);; waited += std::chrono::milliseconds(kSliceMs)) {
            if (limits.cancelled && limits.cancelled()) {
                error = "cancelled";
                return false;
            }
            if (waited >= limits.idle) {
                error = "no answer within the time limit";
                return false;
            }
            pollfd pfd{fd, events, 0};
            const int ready = poll(&pfd, 1, kSliceMs);
            if (ready > 0)
                return true;
            if (ready < 0 && errno != EINTR) {
                error = std::string("poll failed: ") + std::strerror(errno);
                return false;
            }
        }
    }

    int fd = -1;
    SSL* ssl = nullptr;
    Limits limits;
};

TlsSession::TlsSession(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

TlsSession::~TlsSession() = default;

std::unique_ptr<TlsSession> TlsSession::Handshake(int fd, const std::string& host, Limits limits,
                                                  std::string& error)
{
    SSL_CTX* context = SharedContext(error);
    if (!context)
        return nullptr;
    auto impl = std::make_unique<Impl>();
    impl->fd = fd;
    impl->limits = std::move(limits);
    impl->ssl = SSL_new(context);
    if (!impl->ssl) {
        error = OpenSslError("cannot create a TLS session");
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    SSL_set_fd(impl->ssl, fd);
    if (IsIpAddress(host)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(impl->ssl), host.c_str());
    } else {
        SSL_set_tlsext_host_name(impl->ssl, host.c_str());
        SSL_set1_host(impl->ssl, host.c_str());
    }
    for (;;) {
        const int result = SSL_connect(impl->ssl);
        if (result == 1)
            break;
        const int sslError = SSL_get_error(impl->ssl, result);
        if (sslError == SSL_ERROR_WANT_READ || sslError == SSL_ERROR_WANT_WRITE) {
            if (!impl->Wait(sslError, error)) {
                error = "TLS handshake: " + error;
                return nullptr;
            }
            continue;
        }
        const long verify = SSL_get_verify_result(impl->ssl);
        if (verify != X509_V_OK) {
            error = std::string("certificate not trusted: ") +
                    X509_verify_cert_error_string(verify);
            ERR_clear_error();
        } else {
            error = OpenSslError("TLS handshake failed");
        }
        return nullptr;
    }
    return std::unique_ptr<TlsSession>(new TlsSession(std::move(impl)));
}

bool TlsSession::SendAll(std::string_view data, std::string& error)
{
    while (!data.empty()) {
        std::size_t written = 0;
        const int result = SSL_write_ex(impl_->ssl, data.data(), data.size(), &written);
        if (result == 1) {
            data.remove_prefix(written);
            continue;
        }
        const int sslError = SSL_get_error(impl_->ssl, result);
        if (sslError == SSL_ERROR_WANT_READ || sslError == SSL_ERROR_WANT_WRITE) {
            if (!impl_->Wait(sslError, error))
                return false;
            continue;
        }
        error = OpenSslError("TLS send failed");
        return false;
    }
    return true;
}

long TlsSession::Receive(char* buffer, std::size_t size, std::string& error)
{
    for (;;) {
        std::size_t read = 0;
        const int result = SSL_read_ex(impl_->ssl, buffer, size, &read);
        if (result == 1)
            return static_cast<long>(read);
        const int sslError = SSL_get_error(impl_->ssl, result);
        if (sslError == SSL_ERROR_ZERO_RETURN)
            return 0;
        if (sslError == SSL_ERROR_WANT_READ || sslError == SSL_ERROR_WANT_WRITE) {
            if (!impl_->Wait(sslError, error))
                return -1;
            continue;
        }
        if (sslError == SSL_ERROR_SSL &&
            ERR_GET_REASON(ERR_peek_error()) == SSL_R_UNEXPECTED_EOF_WHILE_READING) {
            ERR_clear_error();
            return 0;
        }
        error = OpenSslError("TLS receive failed");
        return -1;
    }
}

}  // namespace quor::fetch
