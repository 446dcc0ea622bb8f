#pragma once

// What the TLS tests share. Their executable trusts only the test authority: its environment
// makes the certificates and sets SSL_CERT_FILE (and an empty SSL_CERT_DIR) before the first
// TLS stream of the process reads the trust store, which it does once. That is why these tests
// have an executable of their own.

#include <gtest/gtest.h>

#include <string>

#include "core/cp932.h"
#include "core/memory_settings_store.h"
#include "core/quor_app.h"
#include "core/settings_keys.h"
#include "support/recording_frontend.h"
#include "support/test_certificates.h"

namespace quor::fetch {

// The certificates of this test process, made before the first test.
const test::TestCertificates& Certificates();

class TlsTest : public ::testing::Test {
protected:
    void SetBoard(const std::string& url, const std::string& name = "News") {
        store.WriteString(core::kSectionTree, core::BoardKey("Url", 1), url);
        store.WriteString(core::kSectionTree, core::BoardKey("Data", 1), name);
    }
    static std::string Cp932(const std::string& utf8) { return core::FromUtf8(utf8); }
    static std::string Page(const std::string& body) {
        return "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
               body;
    }

    core::MemorySettingsStore store;
    test::RecordingFrontend ui;
    core::CQuorApp app{store, ui};
};

}  // namespace quor::fetch
