#include "platform/Signatures.h"

#include "platform/FileSystem.h"
#include "platform/ProgramFiles.h"
#include "formats/SignatureBytes.h"
#include "platform/Text.h"
#include "platform/UniqueHandle.h"

#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>

#include <algorithm>
#include <cstring>
#include <span>

namespace korrimat {

namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;
// Microsoft's unauthenticated attribute holding a further, nested signature.
constexpr char kNestedSignature[] = "1.3.6.1.4.1.311.2.4.1";
// Nested signatures are followed this deep at most: a file is not a signature's place to recurse.
constexpr int kMostNesting = 4;
// A signature larger than this is not handed to the system: real ones are some kilobytes, and a
// table of hundreds of megabytes would only hold the worker and the memory.
constexpr std::uint32_t kMostSignatureBytes = 16u << 20;


// A message parameter in a buffer of its own (suitably aligned for the record it holds).
std::vector<std::uint64_t> MessageParameter(HCRYPTMSG message, DWORD type, DWORD index)
{
    DWORD size = 0;
    if (!::CryptMsgGetParam(message, type, index, nullptr, &size) || size == 0)
        return {};
    std::vector<std::uint64_t> buffer((size + 7) / 8);
    if (!::CryptMsgGetParam(message, type, index, buffer.data(), &size))
        return {};
    return buffer;
}

std::string NameOf(PCCERT_CONTEXT certificate, DWORD flags)
{
    wchar_t name[512] = {};
    ::CertGetNameStringW(certificate, CERT_NAME_SIMPLE_DISPLAY_TYPE, flags, nullptr, name, 512);
    return NarrowText(name);
}

std::string SerialOf(const CRYPT_INTEGER_BLOB& serial)
{
    // Stored least significant byte first.
    std::string text;
    for (DWORD i = serial.cbData; i > 0; --i)
        text += HexDigits(serial.pbData[i - 1], 2);
    return text;
}

std::string AlgorithmName(const char* oid)
{
    if (!oid)
        return {};
    const CRYPT_OID_INFO* info = ::CryptFindOIDInfo(CRYPT_OID_INFO_OID_KEY, const_cast<char*>(oid), 0);
    if (!info || !info->pwszName || !*info->pwszName)
        return oid;
    std::string name = NarrowText(info->pwszName);
    std::transform(name.begin(), name.end(), name.begin(), [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return name;
}

std::optional<FILETIME> FileTimeOf(const SignatureTime& time)
{
    const SYSTEMTIME parts{static_cast<WORD>(time.year), static_cast<WORD>(time.month), 0, static_cast<WORD>(time.day),
                           static_cast<WORD>(time.hour), static_cast<WORD>(time.minute), static_cast<WORD>(time.second), 0};
    FILETIME stamp{};
    return ::SystemTimeToFileTime(&parts, &stamp) ? std::optional<FILETIME>(stamp) : std::nullopt;
}

// What an answer of WinVerifyTrust or of the Authenticode chain policy means.
SignatureVerdict VerdictOfCode(std::uint32_t code)
{
    switch (code) {
    case 0:
        return SignatureVerdict::Ok;
    case static_cast<std::uint32_t>(TRUST_E_BAD_DIGEST):
        return SignatureVerdict::Changed;
    case static_cast<std::uint32_t>(CERT_E_UNTRUSTEDROOT):
    case static_cast<std::uint32_t>(CERT_E_UNTRUSTEDTESTROOT):
    case static_cast<std::uint32_t>(CERT_E_CHAINING):
    case static_cast<std::uint32_t>(TRUST_E_EXPLICIT_DISTRUST):
        return SignatureVerdict::UntrustedRoot;
    case static_cast<std::uint32_t>(CERT_E_EXPIRED):
        return SignatureVerdict::Expired;
    case static_cast<std::uint32_t>(TRUST_E_NOSIGNATURE):
    case static_cast<std::uint32_t>(TRUST_E_SUBJECT_FORM_UNKNOWN):
    case static_cast<std::uint32_t>(CRYPT_E_BAD_MSG):
    case static_cast<std::uint32_t>(CRYPT_E_NO_SIGNER):
    case ERROR_INSUFFICIENT_BUFFER:  // Wine's answer for a signature cut short
        return SignatureVerdict::Damaged;
    default:
        // The ASN.1 decoder's errors.
        return (code & 0xFFFFF000u) == 0x80093000u ? SignatureVerdict::Damaged : SignatureVerdict::NotVerified;
    }
}

struct Judgement {
    SignatureVerdict verdict = SignatureVerdict::Ok;
    std::uint32_t status = 0;
    void Consider(SignatureVerdict other, std::uint32_t code)
    {
        if (other > verdict) {
            verdict = other;
            status = code;
        }
    }
};

// The signer's chain at the signature's time (its time stamp, else now), built from the machine's
// stores and the certificates the signature carries, then the Authenticode policy on it.
void JudgeChain(PCCERT_CONTEXT signer, HCERTSTORE carried, const std::optional<FILETIME>& at,
                SignatureFacts& facts, Judgement& judgement)
{
    CERT_CHAIN_PARA parameters{};
    parameters.cbSize = sizeof(parameters);
    static char codeSigning[] = szOID_PKIX_KP_CODE_SIGNING;
    char* usages[] = {codeSigning};
    parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
    parameters.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    FILETIME time = at.value_or(FILETIME{});
    PCCERT_CHAIN_CONTEXT built = nullptr;
    if (!::CertGetCertificateChain(nullptr, signer, at ? &time : nullptr, carried, &parameters,
                                   CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL, nullptr, &built)) {
        judgement.Consider(SignatureVerdict::NotVerified, ::GetLastError());
        return;
    }
    const UniqueChain chain(built);
    if (chain.Get()->cChain > 0) {
        const CERT_SIMPLE_CHAIN* simple = chain.Get()->rgpChain[0];
        for (DWORD i = 0; i < simple->cElement; ++i)
            facts.chain.push_back(NameOf(simple->rgpElement[i]->pCertContext, 0));
    }
    const DWORD errors = chain.Get()->TrustStatus.dwErrorStatus;
    // A chain that stops short of a root is not trusted, whatever else is said of it.
    if (errors & (CERT_TRUST_IS_PARTIAL_CHAIN | CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_CYCLIC))
        judgement.Consider(SignatureVerdict::UntrustedRoot, static_cast<std::uint32_t>(CERT_E_UNTRUSTEDROOT));
    if (errors & CERT_TRUST_IS_NOT_TIME_VALID)
        judgement.Consider(SignatureVerdict::Expired, static_cast<std::uint32_t>(CERT_E_EXPIRED));
    CERT_CHAIN_POLICY_PARA policy{};
    policy.cbSize = sizeof(policy);
    CERT_CHAIN_POLICY_STATUS status{};
    status.cbSize = sizeof(status);
    if (!::CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_AUTHENTICODE, chain.Get(), &policy, &status))
        judgement.Consider(SignatureVerdict::NotVerified, ::GetLastError());
    else
        judgement.Consider(VerdictOfCode(status.dwError), status.dwError);
}

void ReadSignature(HCRYPTMSG message, HCERTSTORE carried, int depth, std::uint32_t fileTrust,
                   std::vector<SignatureFacts>& out)
{
    SignatureFacts facts;
    facts.nested = depth > 0;
    const auto signerBuffer = MessageParameter(message, CMSG_SIGNER_INFO_PARAM, 0);
    if (signerBuffer.empty()) {
        facts.status = fileTrust;
        out.push_back(facts);
        return;
    }
    const auto& signer = *reinterpret_cast<const CMSG_SIGNER_INFO*>(signerBuffer.data());
    facts.digestAlgorithm = AlgorithmName(signer.HashAlgorithm.pszObjId);

    std::vector<std::span<const std::uint8_t>> nested;
    for (DWORD a = 0; a < signer.UnauthAttrs.cAttr; ++a) {
        const CRYPT_ATTRIBUTE& attribute = signer.UnauthAttrs.rgAttr[a];
        if (!attribute.pszObjId)
            continue;
        for (DWORD v = 0; v < attribute.cValue; ++v) {
            const std::span<const std::uint8_t> value(attribute.rgValue[v].pbData, attribute.rgValue[v].cbData);
            std::optional<SignatureTime> stamped;
            if (std::strcmp(attribute.pszObjId, szOID_RFC3161_counterSign) == 0) {
                stamped = TimeStampTokenTime(value);
                facts.timeStampKind = SignatureFacts::TimeStamp::Rfc3161;
            } else if (std::strcmp(attribute.pszObjId, szOID_RSA_counterSign) == 0) {
                stamped = CounterSignatureTime(value);
                facts.timeStampKind = SignatureFacts::TimeStamp::CounterSignature;
            } else if (std::strcmp(attribute.pszObjId, kNestedSignature) == 0) {
                nested.push_back(value);
            }
            if (stamped && !facts.timeStamp)
                facts.timeStamp = FileTimeOf(*stamped);
        }
    }

    // The file's digest is WinVerifyTrust's to judge: it hashes the file as the primary signature
    // asks, and a change to the file breaks every signature in it.
    Judgement judgement;
    judgement.Consider(VerdictOfCode(fileTrust), fileTrust);
    CERT_INFO wanted{};
    wanted.Issuer = signer.Issuer;
    wanted.SerialNumber = signer.SerialNumber;
    const UniqueCertificate certificate(::CertGetSubjectCertificateFromStore(carried, kEncoding, &wanted));
    if (certificate) {
        facts.signer = NameOf(certificate.Get(), 0);
        facts.issuer = NameOf(certificate.Get(), CERT_NAME_ISSUER_FLAG);
        facts.serialNumber = SerialOf(certificate.Get()->pCertInfo->SerialNumber);
        facts.validFrom = certificate.Get()->pCertInfo->NotBefore;
        facts.validTo = certificate.Get()->pCertInfo->NotAfter;
        JudgeChain(certificate.Get(), carried, facts.timeStamp, facts, judgement);
    } else {
        facts.serialNumber = SerialOf(signer.SerialNumber);
        judgement.Consider(SignatureVerdict::Damaged, static_cast<std::uint32_t>(CRYPT_E_NO_SIGNER));
    }
    facts.verdict = judgement.verdict;
    facts.status = judgement.status;
    out.push_back(facts);

    if (depth + 1 >= kMostNesting)
        return;
    for (const auto value : nested) {
        const UniqueCryptMessage inner(::CryptMsgOpenToDecode(kEncoding, 0, 0, 0, nullptr, nullptr));
        if (!inner || !::CryptMsgUpdate(inner.Get(), value.data(), static_cast<DWORD>(value.size()), TRUE)) {
            SignatureFacts damaged;
            damaged.nested = true;
            damaged.status = ::GetLastError();
            out.push_back(damaged);
            continue;
        }
        const UniqueCertificateStore innerStore(
            ::CertOpenStore(CERT_STORE_PROV_MSG, kEncoding, 0, 0, inner.Get()));
        ReadSignature(inner.Get(), innerStore.Get(), depth + 1, fileTrust, out);
    }
}

std::uint32_t TrustOfFile(const std::wstring& path, HANDLE open)
{
    WINTRUST_FILE_INFO file{};
    file.cbStruct = sizeof(file);
    file.pcwszFilePath = path.c_str();
    file.hFile = open;
    WINTRUST_DATA data{};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    // Never the network: no revocation, and only what is cached for anything fetched.
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL | WTD_REVOCATION_CHECK_NONE;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const auto noWindow = static_cast<HWND>(INVALID_HANDLE_VALUE);
    const LONG result = ::WinVerifyTrust(noWindow, &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    ::WinVerifyTrust(noWindow, &action, &data);
    return static_cast<std::uint32_t>(result);
}

SignatureFacts DamagedSignature(std::uint32_t status)
{
    SignatureFacts damaged;
    damaged.status = status;
    return damaged;
}

} // namespace

std::string VerdictText(SignatureVerdict verdict, std::uint32_t status)
{
    switch (verdict) {
    case SignatureVerdict::Ok:
        return "This digital signature is OK.";
    case SignatureVerdict::Expired:
        return "The signer's certificate had expired when the file was signed.";
    case SignatureVerdict::UntrustedRoot:
        return "The signer's certificate chains to a root that is not trusted.";
    case SignatureVerdict::Changed:
        return "The file has been changed since it was signed.";
    case SignatureVerdict::Damaged:
        return "The signature is damaged.";
    case SignatureVerdict::NotVerified:
        break;
    }
    return "The signature could not be verified (error 0x" + HexDigits(status, 8) + ").";
}

const char* TimeStampKindName(SignatureFacts::TimeStamp kind)
{
    switch (kind) {
    case SignatureFacts::TimeStamp::Rfc3161:
        return "RFC 3161";
    case SignatureFacts::TimeStamp::CounterSignature:
        return "counter-signature";
    case SignatureFacts::TimeStamp::None:
        break;
    }
    return "none";
}

SignatureCheck CheckEmbeddedSignatures(const std::string& path)
{
    SignatureCheck check;
    // Everything is read through one handle, opened where the path names (the real System32 for
    // a 32-bit program too): the system's checks take it rather than the path.
    DWORD error = NO_ERROR;
    const UniqueFile file = OpenForReading(path, error);
    if (!file) {
        check.signatures.push_back(DamagedSignature(error));
        check.signatures.back().verdict = SignatureVerdict::NotVerified;
        return check;
    }
    // The PKCS #7 signature of the table's first entry, past its 8-byte header, as this program's
    // own reading of the headers finds it. A table that does not pass that reading is not handed
    // to the system at all: Wine's WinVerifyTrust faults on an entry of another type.
    const EmbeddedSignaturePlace place = EmbeddedSignatureIn(file.Get());
    const std::vector<std::uint8_t> signature =
        place.state == EmbeddedSignaturePlace::State::Present && place.entryLength <= kMostSignatureBytes
            ? ReadFileBytes(file.Get(), place.offset + 8, place.entryLength - 8)
            : std::vector<std::uint8_t>();
    if (signature.empty()) {
        check.trustResult = static_cast<std::uint32_t>(TRUST_E_NOSIGNATURE);
        check.signatures.push_back(DamagedSignature(check.trustResult));
        return check;
    }
    check.trustResult = TrustOfFile(WidePath(path), file.Get());
    CRYPT_DATA_BLOB blob{static_cast<DWORD>(signature.size()), const_cast<BYTE*>(signature.data())};
    DWORD encoding = 0, content = 0, format = 0;
    HCERTSTORE storeHandle = nullptr;
    HCRYPTMSG messageHandle = nullptr;
    const BOOL read = ::CryptQueryObject(CERT_QUERY_OBJECT_BLOB, &blob, CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED,
                                         CERT_QUERY_FORMAT_FLAG_BINARY, 0, &encoding, &content, &format, &storeHandle,
                                         &messageHandle, nullptr);
    const UniqueCertificateStore store(storeHandle);
    const UniqueCryptMessage message(messageHandle);
    if (!read) {
        check.signatures.push_back(DamagedSignature(check.trustResult ? check.trustResult : ::GetLastError()));
        return check;
    }
    ReadSignature(message.Get(), store.Get(), 0, check.trustResult, check.signatures);
    return check;
}

} // namespace korrimat
