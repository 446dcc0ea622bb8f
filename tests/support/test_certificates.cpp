#include "support/test_certificates.h"

#include <chrono>

#include "support/child_process.h"

namespace quor::test {

namespace {

const char* NameOf(TestCertificates::Server server) {
    switch (server) {
        case TestCertificates::Server::kTrusted:
            return "trusted";
        case TestCertificates::Server::kUntrusted:
            return "untrusted";
        case TestCertificates::Server::kWrongName:
            return "wrong-name";
    }
    return "trusted";
}

// Elliptic-curve keys are made in milliseconds, so every test process can have its own.
const std::vector<std::string> kNewKey{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                       "-nodes"};

}  // namespace

TestCertificates::TestCertificates() {
    if (!MakeAuthority("authority", "/CN=Quor Test Authority") ||
        !MakeAuthority("other-authority", "/CN=Nobody Trusts This Authority") ||
        !MakeServer("trusted", "authority", "IP:127.0.0.1,DNS:localhost") ||
        !MakeServer("untrusted", "other-authority", "IP:127.0.0.1,DNS:localhost") ||
        !MakeServer("wrong-name", "authority", "DNS:elsewhere.invalid"))
        return;
}

std::string TestCertificates::AuthorityFile() const {
    return File("authority.pem");
}

std::string TestCertificates::CertificateFile(Server server) const {
    return File(std::string(NameOf(server)) + ".pem");
}

std::string TestCertificates::KeyFile(Server server) const {
    return File(std::string(NameOf(server)) + ".key");
}

std::string TestCertificates::File(const std::string& name) const {
    return (dir_.Path() / name).string();
}

bool TestCertificates::MakeAuthority(const std::string& name, const std::string& subject) {
    std::vector<std::string> argv{"openssl", "req", "-x509", "-new"};
    argv.insert(argv.end(), kNewKey.begin(), kNewKey.end());
    argv.insert(argv.end(), {"-keyout", File(name + ".key"), "-out", File(name + ".pem"), "-days",
                             "2", "-subj", subject, "-addext", "basicConstraints=critical,CA:TRUE",
                             "-addext", "keyUsage=critical,keyCertSign,cRLSign"});
    return Run(std::move(argv));
}

bool TestCertificates::MakeServer(const std::string& name, const std::string& authority,
                                  const std::string& altNames) {
    TempDir::WriteFile(File(name + ".ext"), "subjectAltName=" + altNames +
                                                "\nbasicConstraints=CA:FALSE\n"
                                                "keyUsage=critical,digitalSignature\n"
                                                "extendedKeyUsage=serverAuth\n");
    std::vector<std::string> request{"openssl", "req", "-new"};
    request.insert(request.end(), kNewKey.begin(), kNewKey.end());
    request.insert(request.end(), {"-keyout", File(name + ".key"), "-out", File(name + ".csr"),
                                   "-subj", "/CN=Quor test server"});
    return Run(std::move(request)) &&
           Run({"openssl", "x509", "-req", "-in", File(name + ".csr"), "-CA",
                File(authority + ".pem"), "-CAkey", File(authority + ".key"), "-CAcreateserial",
                "-out", File(name + ".pem"), "-days", "2", "-extfile", File(name + ".ext")});
}

bool TestCertificates::Run(std::vector<std::string> argv) {
    const std::string step = argv[1] + " for " + argv.back();
    ChildProcess process(std::move(argv));
    const auto status = process.Started() ? process.Wait(std::chrono::seconds(30)) : std::nullopt;
    if (status && *status == 0)
        return true;
    problem_ = "openssl " + step + " failed" +
               (status ? " with status " + std::to_string(*status) : std::string(" to end"));
    return false;
}

}  // namespace quor::test
