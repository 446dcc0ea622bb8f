#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>

#include "fetch/tls_fixture.h"
#include "support/temp_dir.h"

namespace quor::fetch {

namespace {

class TlsEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        certificates_ = std::make_unique<test::TestCertificates>();
        ASSERT_TRUE(certificates_->Ok()) << certificates_->Problem();
        setenv("SSL_CERT_FILE", certificates_->AuthorityFile().c_str(), 1);
        // The system's authorities stay out: only the test authority is trusted.
        emptyDir_ = std::make_unique<test::TempDir>();
        setenv("SSL_CERT_DIR", emptyDir_->Path().c_str(), 1);
    }

    const test::TestCertificates& Certificates() const { return *certificates_; }

private:
    std::unique_ptr<test::TestCertificates> certificates_;
    std::unique_ptr<test::TempDir> emptyDir_;
};

TlsEnvironment* const environment =
    static_cast<TlsEnvironment*>(::testing::AddGlobalTestEnvironment(new TlsEnvironment));

}  // namespace

const test::TestCertificates& Certificates() {
    return environment->Certificates();
}

}  // namespace quor::fetch
