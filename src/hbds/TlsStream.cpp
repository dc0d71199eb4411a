#include "TlsStream.h"

#include "Deadline.h"
#include "hbds.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <mutex>

namespace hbds {
namespace {


std::mutex g_filesMutex;
STlsFiles g_files;

STlsFiles CurrentFiles()
{
    std::lock_guard<std::mutex> lock(g_filesMutex);
    return g_files;
}

// OpenSSL's queued errors of this thread, in its words.
std::string OpenSslErrors()
{
    std::string text;
    char line[256];
    while (const unsigned long code = ERR_get_error()) {
        ERR_error_string_n(code, line, sizeof line);
        text += (text.empty() ? "" : "; ") + std::string(line);
    }
    return text.empty() ? std::string("no reason given") : text;
}

bool IsIpAddress(const std::string& host)
{
    unsigned char address[sizeof(in6_addr)];
    return inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
}

// OpenSSL writes to the socket with plain write(), so a server that has gone would end
// the whole process with SIGPIPE; while one of its writes runs, the signal is held
// back on this thread and a SIGPIPE it caused is taken away unseen (the write fails
// with EPIPE all the same).
class CNoSigPipe {
public:
    CNoSigPipe()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old);
    }
    ~CNoSigPipe()
    {
        sigset_t pending;
        sigpending(&pending);
        if (!m_wasPending && sigismember(&pending, SIGPIPE) == 1) {
            const timespec noWait{0, 0};
            sigtimedwait(&m_pipe, nullptr, &noWait);
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    CNoSigPipe(const CNoSigPipe&) = delete;
    CNoSigPipe& operator=(const CNoSigPipe&) = delete;

private:
    sigset_t m_pipe;
    sigset_t m_old;
    bool m_wasPending = false;
};

class CPlainStream final : public CSocketStream {
public:
    explicit CPlainStream(int fd) : m_fd(fd) {}
    ssize_t Receive(uint8_t* buffer, size_t size) override { return recv(m_fd, buffer, size, 0); }
    // MSG_NOSIGNAL: a server that has gone must fail the write, not end the process.
    ssize_t Send(const uint8_t* data, size_t size) override { return send(m_fd, data, size, MSG_NOSIGNAL); }

private:
    int m_fd;
};

class CTlsStream final : public CSocketStream {
public:
    CTlsStream(SSL_CTX* context, SSL* ssl) : m_context(context), m_ssl(ssl) {}
    ~CTlsStream() override
    {
        if (SSL_is_init_finished(m_ssl)) {
            CNoSigPipe quiet;
            SSL_shutdown(m_ssl);  // one try: the socket does not wait, and the server does not need the answer
        }
        ERR_clear_error();
        SSL_free(m_ssl);
        SSL_CTX_free(m_context);
    }
    CTlsStream(const CTlsStream&) = delete;
    CTlsStream& operator=(const CTlsStream&) = delete;

    ssize_t Receive(uint8_t* buffer, size_t size) override
    {
        ERR_clear_error();
        CNoSigPipe quiet;  // a read may answer the server (a key update)
        const int n = SSL_read(m_ssl, buffer, static_cast<int>(std::min<size_t>(size, INT32_MAX)));
        return n > 0 ? n : Failure(n);
    }

    ssize_t Send(const uint8_t* data, size_t size) override
    {
        if (size == 0)
            return 0;
        ERR_clear_error();
        CNoSigPipe quiet;
        const int n = SSL_write(m_ssl, data, static_cast<int>(std::min<size_t>(size, INT32_MAX)));
        return n > 0 ? n : Failure(n);
    }

    bool HasBuffered() const override { return SSL_pending(m_ssl) > 0; }

private:
    // What recv or send would have said.
    ssize_t Failure(int result)
    {
        const int error = SSL_get_error(m_ssl, result);
        if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
            errno = EAGAIN;
            return -1;
        }
        if (error == SSL_ERROR_ZERO_RETURN || (error == SSL_ERROR_SYSCALL && errno == 0))
            return 0;
        if (error != SSL_ERROR_SYSCALL) {
            logout_line(4, "TlsStream.cpp", __LINE__, "TLS: %s", OpenSslErrors().c_str());
            errno = ECONNRESET;
        }
        return -1;
    }

    SSL_CTX* m_context;
    SSL* m_ssl;
};

// A client context that checks the server's certificate and, when given one, shows ours.
SSL_CTX* MakeContext(const STlsFiles& files, std::string& problem)
{
    SSL_CTX* context = SSL_CTX_new(TLS_client_method());
    if (!context) {
        problem = "TLS cannot start: " + OpenSslErrors();
        return nullptr;
    }
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    const bool authority = files.caFile.empty()
                               ? SSL_CTX_set_default_verify_paths(context) == 1
                               : SSL_CTX_load_verify_locations(context, files.caFile.c_str(), nullptr) == 1;
    if (!authority)
        problem = "the certificate authority " + files.caFile + " cannot be read: " + OpenSslErrors();
    else if (!files.certFile.empty()) {
        const std::string& key = files.keyFile.empty() ? files.certFile : files.keyFile;
        if (SSL_CTX_use_certificate_chain_file(context, files.certFile.c_str()) != 1)
            problem = "the client certificate " + files.certFile + " cannot be read: " + OpenSslErrors();
        else if (SSL_CTX_use_PrivateKey_file(context, key.c_str(), SSL_FILETYPE_PEM) != 1 ||
                 SSL_CTX_check_private_key(context) != 1)
            problem = "the key " + key + " cannot be read or does not belong to the certificate: " + OpenSslErrors();
    }
    if (problem.empty())
        return context;
    SSL_CTX_free(context);
    return nullptr;
}

// The name or address the certificate must carry.
void ExpectServer(SSL* ssl, const std::string& host)
{
    if (IsIpAddress(host)) {
        X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), host.c_str());
        return;
    }
    SSL_set_tlsext_host_name(ssl, host.c_str());
    SSL_set1_host(ssl, host.c_str());
}

// Why a handshake failed, with the status that goes with it.
uint32_t HandshakeFailure(SSL* ssl, int result, std::string& problem)
{
    const long verified = SSL_get_verify_result(ssl);
    if (verified != X509_V_OK) {
        problem = std::string("the server's certificate does not verify: ") + X509_verify_cert_error_string(verified);
        ERR_clear_error();
        return HBDS_ERR_CERTIFICATE;
    }
    if (SSL_get_error(ssl, result) == SSL_ERROR_SSL) {
        problem = "the TLS handshake failed: " + OpenSslErrors();
        return HBDS_ERR_CERTIFICATE;
    }
    problem = "the connection broke during the TLS handshake (is the port served with TLS?)";
    return HBDS_ERR_COMMUNICATION;
}

}  // namespace

void SetTlsFiles(const STlsFiles& files)
{
    std::lock_guard<std::mutex> lock(g_filesMutex);
    g_files = files;
}

std::unique_ptr<CSocketStream> PlainStream(int fd)
{
    return std::make_unique<CPlainStream>(fd);
}

std::unique_ptr<CSocketStream> TlsStream(int fd, const std::string& host, int timeoutMs, uint32_t& status,
                                         std::string& problem)
{
    SSL_CTX* context = MakeContext(CurrentFiles(), problem);
    if (!context) {
        status = HBDS_ERR_CERTIFICATE;
        return nullptr;
    }
    SSL* ssl = SSL_new(context);
    if (!ssl || SSL_set_fd(ssl, fd) != 1) {
        problem = "TLS cannot start: " + OpenSslErrors();
        status = HBDS_ERR_COMMUNICATION;
        SSL_free(ssl);
        SSL_CTX_free(context);
        return nullptr;
    }
    auto stream = std::make_unique<CTlsStream>(context, ssl);
    ExpectServer(ssl, host);
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        ERR_clear_error();
        CNoSigPipe quiet;
        const int result = SSL_connect(ssl);
        if (result == 1)
            return stream;
        const int error = SSL_get_error(ssl, result);
        if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) {
            status = HandshakeFailure(ssl, result, problem);
            return nullptr;
        }
        pollfd ready{fd, static_cast<short>(error == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT), 0};
        if (RemainingMs(deadline) == 0 || poll(&ready, 1, RemainingMs(deadline)) == 0) {
            problem = "the server did not complete the TLS handshake in time (is the port served with TLS?)";
            status = HBDS_ERR_COMMUNICATION;
            return nullptr;
        }
    }
}

}  // namespace hbds
