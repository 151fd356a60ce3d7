#include "report/Md5Digest.h"

#include <windows.h>
#include <bcrypt.h>

#include <vector>

namespace {

constexpr size_t kDigestSize = 16;

// Provider and hash handles are released in reverse order of creation.
struct Md5Provider {
    BCRYPT_ALG_HANDLE alg = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    std::vector<UCHAR> object;  // the hash object's own storage (required before Windows 7)
    ~Md5Provider() {
        if (hash) ::BCryptDestroyHash(hash);
        if (alg) ::BCryptCloseAlgorithmProvider(alg, 0);
    }
};

bool Open(Md5Provider& p) {
    if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&p.alg, BCRYPT_MD5_ALGORITHM, nullptr, 0)))
        return false;
    DWORD objectSize = 0, got = 0;
    if (!BCRYPT_SUCCESS(::BCryptGetProperty(p.alg, BCRYPT_OBJECT_LENGTH,
                                            reinterpret_cast<PUCHAR>(&objectSize),
                                            sizeof objectSize, &got, 0)))
        return false;
    p.object.resize(objectSize);
    return BCRYPT_SUCCESS(
        ::BCryptCreateHash(p.alg, &p.hash, p.object.data(), objectSize, nullptr, 0, 0));
}

}  // namespace

std::string LowerHex(const unsigned char* bytes, size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        out += kDigits[bytes[i] >> 4];
        out += kDigits[bytes[i] & 0x0F];
    }
    return out;
}

std::string Md5Hex(const void* data, size_t size) {
    Md5Provider p;
    if (!Open(p)) return {};
    // BCryptHashData takes 32-bit lengths; feed larger inputs in pieces.
    auto* bytes = static_cast<PUCHAR>(const_cast<void*>(data));
    while (size > 0) {
        const ULONG piece = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
        if (!BCRYPT_SUCCESS(::BCryptHashData(p.hash, bytes, piece, 0))) return {};
        bytes += piece;
        size -= piece;
    }
    UCHAR digest[kDigestSize];
    if (!BCRYPT_SUCCESS(::BCryptFinishHash(p.hash, digest, sizeof digest, 0))) return {};
    return LowerHex(digest, sizeof digest);
}
