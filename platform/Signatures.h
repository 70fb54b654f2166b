#pragma once
// The embedded Authenticode signatures of a file, checked by the system: who signed, with what
// digest, when it was stamped, the chain to a root, and one verdict each. Checking never goes to
// the network: revocation is not checked, and only certificates already on the machine or in the
// signature serve.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korrimat {

// One verdict per signature, the strictest of what the checks found.
enum class SignatureVerdict {
    Ok,             // "This digital signature is OK."
    Expired,        // "The signer's certificate had expired when the file was signed."
    UntrustedRoot,  // "The signer's certificate chains to a root that is not trusted."
    Changed,        // "The file has been changed since it was signed."
    NotVerified,    // "The signature could not be verified (...)."
    Damaged,        // "The signature is damaged."
};

// The verdict's sentence; `status` (the code that decided) completes NotVerified's.
std::string VerdictText(SignatureVerdict verdict, std::uint32_t status);

struct SignatureFacts {
    enum class TimeStamp {
        None,
        Rfc3161,           // the RFC 3161 token Windows 7 and later write
        CounterSignature,  // the older PKCS #9 counter-signature
    };

    bool nested = false;          // false for the primary signature
    std::string signer;           // the signer's name (its certificate's simple display name)
    std::string issuer;
    std::string serialNumber;     // hexadecimal, most significant byte first
    std::string digestAlgorithm;  // "SHA256", "SHA1"... (the system's name of the OID)
    std::optional<FILETIME> validFrom;
    std::optional<FILETIME> validTo;
    TimeStamp timeStampKind = TimeStamp::None;
    std::optional<FILETIME> timeStamp;   // UTC
    std::vector<std::string> chain;      // names, the signer first, its root last
    SignatureVerdict verdict = SignatureVerdict::Damaged;
    std::uint32_t status = 0;            // the code behind the verdict (0 when OK)
};

// "RFC 3161", "counter-signature" or "none".
const char* TimeStampKindName(SignatureFacts::TimeStamp kind);

struct SignatureCheck {
    // Every signature found, the primary first; one Damaged entry when the signature cannot be
    // read at all.
    std::vector<SignatureFacts> signatures;
    // WinVerifyTrust's own answer for the file (an HRESULT, or a Win32 code for some damage).
    std::uint32_t trustResult = 0;
};

// Checks the signatures embedded in a file. Slow (it reads and hashes the whole file): for a
// worker thread. The caller has already found a signature there (SignatureBytes.h).
SignatureCheck CheckEmbeddedSignatures(const std::string& path);

} // namespace korrimat
