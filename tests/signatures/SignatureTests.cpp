// Embedded signatures checked by the system, on files the build signs with a certificate set of
// its own (make-signed.sh): one row per way a signature can stand, with the verdict Windows gives.
// The set's root is trusted in the test prefix for the run (trust_test_root), the other root never.

#include "platform/FileSystem.h"
#include "platform/ProgramFiles.h"
#include "formats/SignatureBytes.h"
#include "platform/Signatures.h"
#include "tests/support/Paths.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace korrimat;
using Verdict = SignatureVerdict;
using Stamp = SignatureFacts::TimeStamp;

namespace {

std::string Signed(const std::string& name)
{
    return korrimat::testing::ProgramFolder() + "\\signed\\" + name;
}

SignatureTime UtcOf(const FILETIME& stamp)
{
    SYSTEMTIME parts{};
    ::FileTimeToSystemTime(&stamp, &parts);
    return {parts.wYear, parts.wMonth, parts.wDay, parts.wHour, parts.wMinute, parts.wSecond};
}

struct Case {
    const char* file;
    EmbeddedSignaturePlace::State place;
    std::vector<Verdict> verdicts;  // the primary's first
    Stamp stamp;
    SignatureTime stampedAt;
    const char* signer;
};

constexpr SignatureTime kSigned{2024, 3, 1, 0, 0, 0};
constexpr SignatureTime kExpiredLeafTime{2020, 6, 1, 0, 0, 0};
using State = EmbeddedSignaturePlace::State;

const Case kCases[] = {
    {"signed.dll", State::Present, {Verdict::Ok}, Stamp::None, {}, "Korrimat Test Signer"},
    {"timestamped.dll", State::Present, {Verdict::Ok}, Stamp::Rfc3161, kSigned, "Korrimat Test Signer"},
    {"dual-signed.dll", State::Present, {Verdict::Ok, Verdict::Ok}, Stamp::None, {}, "Korrimat Test Signer"},
    {"changed.dll", State::Present, {Verdict::Changed}, Stamp::None, {}, "Korrimat Test Signer"},
    {"untrusted-root.dll", State::Present, {Verdict::UntrustedRoot}, Stamp::None, {}, "Korrimat Stranger"},
    {"self-signed.dll", State::Present, {Verdict::UntrustedRoot}, Stamp::None, {}, "Korrimat Self-Signed"},
    {"expired.dll", State::Present, {Verdict::Expired}, Stamp::None, {}, "Korrimat Expired Signer"},
    {"expired-timestamped.dll", State::Present, {Verdict::Ok}, Stamp::Rfc3161, kExpiredLeafTime, "Korrimat Expired Signer"},
    {"garbage.dll", State::Present, {Verdict::Damaged}, Stamp::None, {}, ""},
    {"truncated.dll", State::Present, {Verdict::Damaged}, Stamp::None, {}, ""},
    {"past-end.dll", State::Damaged, {Verdict::Damaged}, Stamp::None, {}, ""},
    {"other-type.dll", State::Damaged, {Verdict::Damaged}, Stamp::None, {}, ""},
};

TEST(Signatures, EachWayASignatureCanStandGetsWindowsVerdict)
{
    EXPECT_EQ(EmbeddedSignatureAt(Signed("unsigned.dll")).state, State::None);
    for (const Case& expected : kCases) {
        SCOPED_TRACE(expected.file);
        EXPECT_EQ(EmbeddedSignatureAt(Signed(expected.file)).state, expected.place);
        const auto started = std::chrono::steady_clock::now();
        const SignatureCheck check = CheckEmbeddedSignatures(Signed(expected.file));
        const auto took = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started);
        std::printf("%-24s %6.1f ms  WinVerifyTrust 0x%08X", expected.file, took.count(),
                    static_cast<unsigned>(check.trustResult));
        for (const SignatureFacts& facts : check.signatures)
            std::printf("  [%s]", VerdictText(facts.verdict, facts.status).c_str());
        std::printf("\n");

        ASSERT_EQ(check.signatures.size(), expected.verdicts.size());
        for (std::size_t i = 0; i < expected.verdicts.size(); ++i)
            EXPECT_EQ(check.signatures[i].verdict, expected.verdicts[i]) << "signature " << i;
        const SignatureFacts& primary = check.signatures.front();
        EXPECT_EQ(primary.signer, expected.signer);
        EXPECT_EQ(primary.timeStampKind, expected.stamp);
        if (expected.stamp != Stamp::None) {
            ASSERT_TRUE(primary.timeStamp);
            EXPECT_EQ(UtcOf(*primary.timeStamp), expected.stampedAt);
        }
    }
}

TEST(Signatures, TheSignersFactsAndChainAreTheCertificates)
{
    const SignatureCheck dual = CheckEmbeddedSignatures(Signed("dual-signed.dll"));
    ASSERT_EQ(dual.signatures.size(), 2u);
    EXPECT_FALSE(dual.signatures[0].nested);
    EXPECT_TRUE(dual.signatures[1].nested);
    EXPECT_EQ(dual.signatures[0].digestAlgorithm, "SHA1");
    EXPECT_EQ(dual.signatures[1].digestAlgorithm, "SHA256");
    for (const SignatureFacts& facts : dual.signatures) {
        EXPECT_EQ(facts.issuer, "Korrimat Test Code Signing CA");
        EXPECT_EQ(facts.chain, (std::vector<std::string>{"Korrimat Test Signer", "Korrimat Test Code Signing CA",
                                                          "Korrimat Test Root"}));
        EXPECT_FALSE(facts.serialNumber.empty());
        ASSERT_TRUE(facts.validFrom && facts.validTo);
        EXPECT_EQ(UtcOf(*facts.validFrom), (SignatureTime{2019, 1, 1, 0, 0, 0}));
        EXPECT_EQ(UtcOf(*facts.validTo), (SignatureTime{2045, 12, 31, 23, 59, 59}));
    }
    EXPECT_NE(dual.signatures[0].serialNumber, "");
    // The untrusted root's chain ends at that root, or stops short of it where it is unknown.
    const SignatureCheck stranger = CheckEmbeddedSignatures(Signed("untrusted-root.dll"));
    ASSERT_FALSE(stranger.signatures.front().chain.empty());
    EXPECT_EQ(stranger.signatures.front().chain.front(), "Korrimat Stranger");
}

} // namespace
