// trust_test_root: makes the signature tests' root certificate trusted in the test prefix, and
// untrusted again, as an administrator would with the machine's certificate store.
//
//   trust_test_root add ROOT.cer      adds it to the local machine's trusted roots
//   trust_test_root remove ROOT.cer   takes it out again
//
// Wine keeps a certificate that CertDeleteCertificateFromStore deletes from Root, so removing
// deletes its registry key (named by its SHA-1 thumbprint) instead. Exit code 0 when done.

#include "platform/UniqueHandle.h"

#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const std::string action = argv[1];
    std::ifstream input(argv[2], std::ios::binary);
    const std::vector<BYTE> encoded((std::istreambuf_iterator<char>(input)), std::istreambuf_iterator<char>());
    const korrimat::UniqueCertificate owned(
        ::CertCreateCertificateContext(X509_ASN_ENCODING, encoded.data(), static_cast<DWORD>(encoded.size())));
    const PCCERT_CONTEXT certificate = owned.Get();
    if (!certificate)
        return 1;
    BYTE thumbprint[20] = {};
    DWORD size = sizeof(thumbprint);
    const bool hashed = ::CertGetCertificateContextProperty(certificate, CERT_SHA1_HASH_PROP_ID, thumbprint, &size);
    bool done = false;
    if (action == "add") {
        const korrimat::UniqueCertificateStore root(
            ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"));
        done = root && ::CertAddCertificateContextToStore(root.Get(), certificate, CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    } else if (action == "remove" && hashed) {
        std::wstring key = L"Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\";
        for (BYTE byte : thumbprint) {
            wchar_t digits[3];
            std::swprintf(digits, 3, L"%02X", byte);
            key += digits;
        }
        const LSTATUS status = ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
        done = status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    std::printf("%s %s: %s\n", action.c_str(), argv[2], done ? "done" : "FAILED");
    return done ? 0 : 1;
}
