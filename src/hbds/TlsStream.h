// Internal: the byte stream of a network port, plain or under TLS. ser2net can serve a
// port through an "ssl" layer; the client side here is OpenSSL, which the program
// already links for its downloads, so that certificates are checked as everywhere else
// on the system.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace hbds {

// Where the certificates for TLS ports are (hbds_set_tls_files).
struct STlsFiles {
    std::string caFile;    // the authority that signed the server's certificate; empty: the system's
    std::string certFile;  // the client's certificate, for servers that ask for one; may be empty
    std::string keyFile;   // its private key; empty: in certFile
};

void SetTlsFiles(const STlsFiles& files);

// Reads and writes like recv/send on a non-blocking socket: -1 with errno EAGAIN when
// nothing can move now, 0 from Receive when the server closed the stream.
class CSocketStream {
public:
    virtual ~CSocketStream() = default;
    virtual ssize_t Receive(uint8_t* buffer, size_t size) = 0;
    virtual ssize_t Send(const uint8_t* data, size_t size) = 0;
    // Decrypted bytes waiting that the socket no longer shows as readable.
    virtual bool HasBuffered() const { return false; }
};

std::unique_ptr<CSocketStream> PlainStream(int fd);

// Runs the TLS handshake on the connected socket `fd` within `timeoutMs`, checking the
// server's certificate against the authority and its name or address against `host`.
// Null when it fails, with `status` HBDS_ERR_CERTIFICATE (the certificate does not
// verify, or ours is refused) or HBDS_ERR_COMMUNICATION, and the reason in `problem`.
std::unique_ptr<CSocketStream> TlsStream(int fd, const std::string& host, int timeoutMs, uint32_t& status,
                                         std::string& problem);

}  // namespace hbds
