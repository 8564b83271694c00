// Windows' own verdict on the signed programs: WinVerifyTrust with the
// Authenticode policy (WINTRUST_ACTION_GENERIC_VERIFY_V2), as Explorer and
// the AutoPlay prompt ask it, about programs signed by `disckit/project sign`
// with a vendor certificate from a throw-away root (sign-for-trust).
#include "tests/wine/support/test_support.h"

#include <windows.h>

#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <cstdio>
#include <string>

namespace {

std::string Signed(const char* name)
{
    return std::string(TRUST_DIR) + "/" + name;
}

std::wstring Wide(const std::string& text)
{
    int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring out(static_cast<size_t>(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &out[0], size);
    out.resize(out.size() - 1);
    return out;
}

std::string Hex(LONG value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

// The verdict on one file, without any user interface and without asking
// for revocation lists (the throw-away root publishes none).
std::string Verdict(const std::string& path)
{
    std::wstring file = Wide(WindowsPath(path));
    WINTRUST_FILE_INFO info = {};
    info.cbStruct = sizeof info;
    info.pcwszFilePath = file.c_str();
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &info;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    LONG result = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return Hex(result);
}

// The throw-away root among the machine's trusted roots while this lives,
// and gone again after, so the prefix trusts it in this case only.
class TrustedRoot {
public:
    explicit TrustedRoot(const std::string& der)
        : store_(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root"))
    {
        if (store_)
            CertAddEncodedCertificateToStore(store_, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                             static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, &added_);
    }
    TrustedRoot(const TrustedRoot&) = delete;
    TrustedRoot& operator=(const TrustedRoot&) = delete;
    ~TrustedRoot()
    {
        if (added_) {
            PCCERT_CONTEXT stored =
                CertFindCertificateInStore(store_, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, added_, nullptr);
            if (stored)
                CertDeleteCertificateFromStore(stored);  // frees `stored`
            CertFreeCertificateContext(added_);
        }
        if (store_)
            CertCloseStore(store_, 0);
    }
    bool Installed() const { return added_ != nullptr; }

private:
    HCERTSTORE store_;
    PCCERT_CONTEXT added_ = nullptr;
};

const std::string kTrusted = Hex(ERROR_SUCCESS);
const std::string kNoSignature = Hex(static_cast<LONG>(TRUST_E_NOSIGNATURE));
const std::string kUntrustedRoot = Hex(static_cast<LONG>(CERT_E_UNTRUSTEDROOT));
const std::string kBadDigest = Hex(static_cast<LONG>(TRUST_E_BAD_DIGEST));

}  // namespace

// Trusted once the root is installed, a program changed by one byte after
// signing refused even then, and untrusted again without the root. Wine 8
// checks the signature and the digest but not where the chain ends: there
// both programs count as trusted without their root too, and the case says
// so instead of failing (osslsigncode's verification in the signing cases
// checks the chain).
WINE_TEST(authenticode_verdict)
{
    std::string root;
    REQUIRE(ReadWholeFile(Signed("root.cer"), root));
    if (Verdict(UNSIGNED_AUTORUN) != kNoSignature)
        SKIP("this Wine finds no missing signature, so it judges no Authenticode signature");
    const std::string withoutRoot = Verdict(Signed("autorun.exe"));
    if (withoutRoot == kTrusted)
        std::printf("note: this Wine trusts a signature whose root it does not know\n");
    else
        CHECK_EQ(withoutRoot, kUntrustedRoot);
    CHECK_EQ(Verdict(Signed("docrunner.exe")), withoutRoot);
    {
        TrustedRoot trusted(root);
        REQUIRE(trusted.Installed());
        CHECK_EQ(Verdict(Signed("autorun.exe")), kTrusted);
        CHECK_EQ(Verdict(Signed("docrunner.exe")), kTrusted);
        CHECK_EQ(Verdict(Signed("changed.exe")), kBadDigest);
    }
    CHECK_EQ(Verdict(Signed("autorun.exe")), withoutRoot);
}
