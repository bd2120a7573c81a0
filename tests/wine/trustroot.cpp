// Makes a Wine prefix trust a test certificate authority the way a Windows
// machine does: the certificate goes into the machine's root store in the
// registry (HKLM\Software\Microsoft\SystemCertificates\Root), where the
// system's validation of every https server looks. (Wine drops a certificate
// added through the system store provider; the registry provider keeps it.)
//
//   trustroot <PEM file>
// Exits 0 once the certificate is added, 1 otherwise.
#include <windows.h>
// wincrypt.h needs the declarations of windows.h.
#include <wincrypt.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char **argv) {
    std::ifstream in(argc == 2 ? argv[1] : "", std::ios::binary);
    const std::string pem(std::istreambuf_iterator<char>(in), {});
    std::vector<BYTE> der(pem.size());
    DWORD size = DWORD(der.size());
    HKEY key = nullptr;
    if (pem.empty() ||
        !CryptStringToBinaryA(pem.c_str(), DWORD(pem.size()), CRYPT_STRING_BASE64HEADER, der.data(),
                              &size, nullptr, nullptr) ||
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\SystemCertificates\\Root", 0,
                        nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return 1;
    // A store that cannot be opened or written fails the trusted downloads
    // of both runs, which is where a missing root shows.
    const HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_REG, 0, 0, 0, key);
    const bool added =
        store && CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), size,
                                                  CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
    if (store)
        CertCloseStore(store, 0);
    RegCloseKey(key);
    return added ? 0 : 1;
}
