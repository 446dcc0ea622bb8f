#pragma once

// Certificates made at test time by the openssl program, in a temporary directory: a test
// authority that a test process trusts through SSL_CERT_FILE, and server certificates for
// 127.0.0.1 and localhost signed by it, by an authority nobody trusts, or for another name.

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace quor::test {

class TestCertificates final {
public:
    enum class Server {
        kTrusted,    // by the test authority, for IP:127.0.0.1 and DNS:localhost
        kUntrusted,  // the same names, by an authority of its own that nobody trusts
        kWrongName,  // by the test authority, but only for DNS:elsewhere.invalid
    };

    TestCertificates();

    // False when openssl is missing or failed; Problem() says which step.
    bool Ok() const { return problem_.empty(); }
    const std::string& Problem() const { return problem_; }

    // The test authority's certificate, the file SSL_CERT_FILE names.
    std::string AuthorityFile() const;
    std::string CertificateFile(Server server) const;
    std::string KeyFile(Server server) const;

private:
    bool MakeAuthority(const std::string& name, const std::string& subject);
    bool MakeServer(const std::string& name, const std::string& authority,
                    const std::string& altNames);
    bool Run(std::vector<std::string> argv);
    std::string File(const std::string& name) const;

    TempDir dir_;
    std::string problem_;
};

}  // namespace quor::test
