// SHA-256 of files on Windows through CNG: of a finished file, read from the
// device itself where asked, and of a file while it grows.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <bcrypt.h>

#include "platform/HostPlatform.h"
#include "platform/win32/Win32Text.h"

#include <string>

namespace hostplatform {

using win32::widenUtf8;

namespace {

// Read size for hashing: large enough that the calls cost nothing beside the
// hashing, small enough never to matter for memory. A multiple of every
// sector size, as reads without buffering require.
constexpr DWORD kHashChunk = 1 << 20;

// The handles and the buffer of one hashing, released on every way out.
struct FileHashing {
    HANDLE file = INVALID_HANDLE_VALUE;
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    // From VirtualAlloc: page-aligned, hence sector-aligned.
    void *buffer = nullptr;

    FileHashing() = default;
    FileHashing(const FileHashing &) = delete;
    FileHashing &operator=(const FileHashing &) = delete;
    ~FileHashing() {
        if (buffer)
            VirtualFree(buffer, 0, MEM_RELEASE);
        if (hash)
            BCryptDestroyHash(hash);
        if (algorithm)
            BCryptCloseAlgorithmProvider(algorithm, 0);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
};

} // namespace

bool sha256OfFile(const std::string &localFile, unsigned char digest[kSha256Size],
                  bool fromDevice) {
    const std::wstring path = widenUtf8(localFile);
    if (path.empty())
        return false;
    FileHashing hashing;
    // Without buffering, every read comes from the device (the system first
    // writes out what it still holds for the file). Some file systems and
    // network redirectors refuse the flag: the buffered read is still a check
    // worth having, and better than failing a good build.
    bool unbuffered = fromDevice;
    if (unbuffered)
        hashing.file =
            CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (hashing.file == INVALID_HANDLE_VALUE) {
        unbuffered = false;
        hashing.file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    }
    if (hashing.file == INVALID_HANDLE_VALUE)
        return false;
    // CNG allocates the hash object itself when given none (Windows 7 on).
    if (!BCRYPT_SUCCESS(
            BCryptOpenAlgorithmProvider(&hashing.algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
        !BCRYPT_SUCCESS(
            BCryptCreateHash(hashing.algorithm, &hashing.hash, nullptr, 0, nullptr, 0, 0)))
        return false;
    hashing.buffer = VirtualAlloc(nullptr, kHashChunk, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!hashing.buffer)
        return false;

    auto *const chunk = static_cast<unsigned char *>(hashing.buffer);
    for (;;) {
        // Always the whole buffer: without buffering only the last read may
        // come back short, with the rest of the file.
        DWORD got = 0;
        if (!ReadFile(hashing.file, chunk, kHashChunk, &got, nullptr))
            return false;
        if (got > 0 && !BCRYPT_SUCCESS(BCryptHashData(hashing.hash, chunk, got, 0)))
            return false;
        // A short read is the end of the file; without buffering, a read
        // after it would start off a sector boundary, which the system refuses.
        if (got == 0 || (unbuffered && got < kHashChunk))
            break;
    }
    return BCRYPT_SUCCESS(BCryptFinishHash(hashing.hash, digest, kSha256Size, 0));
}

struct GrowingFileHash::State {
    std::wstring path;
    FileHashing hashing;
    bool ok = false;
    unsigned long long hashed = 0;

    State() {
        ok = BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&hashing.algorithm, BCRYPT_SHA256_ALGORITHM,
                                                        nullptr, 0)) &&
             BCRYPT_SUCCESS(
                 BCryptCreateHash(hashing.algorithm, &hashing.hash, nullptr, 0, nullptr, 0, 0));
        hashing.buffer =
            VirtualAlloc(nullptr, kHashChunk, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        ok = ok && hashing.buffer;
    }

    // Hashes from where the last read ended up to the current end. The
    // writer keeps the file open for writing, so it is shared for that.
    void readToEnd() {
        HANDLE &file = hashing.file;
        if (file == INVALID_HANDLE_VALUE)
            file = CreateFileW(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        auto *const chunk = static_cast<unsigned char *>(hashing.buffer);
        while (ok && file != INVALID_HANDLE_VALUE) {
            DWORD got = 0;
            if (!ReadFile(file, chunk, kHashChunk, &got, nullptr)) {
                ok = false;
                return;
            }
            if (got == 0)
                return;
            ok = BCRYPT_SUCCESS(BCryptHashData(hashing.hash, chunk, got, 0));
            hashed += got;
        }
    }
};

GrowingFileHash::GrowingFileHash(const std::string &localFile) : m_state(new State) {
    m_state->path = widenUtf8(localFile);
}

GrowingFileHash::~GrowingFileHash() {
    delete m_state;
}

void GrowingFileHash::catchUp() {
    m_state->readToEnd();
}

bool GrowingFileHash::finish(unsigned char digest[kSha256Size]) {
    State &s = *m_state;
    s.readToEnd();
    if (!s.ok || s.hashing.file == INVALID_HANDLE_VALUE)
        return false;
    // The file under the path must be the one read (a download may put a
    // finished copy in its place at the end), and no longer or shorter.
    BY_HANDLE_FILE_INFORMATION held{}, named{};
    const HANDLE again = CreateFileW(s.path.c_str(), FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    if (again == INVALID_HANDLE_VALUE)
        return false;
    const bool same =
        GetFileInformationByHandle(s.hashing.file, &held) &&
        GetFileInformationByHandle(again, &named) &&
        held.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
        held.nFileIndexHigh == named.nFileIndexHigh && held.nFileIndexLow == named.nFileIndexLow &&
        ((static_cast<unsigned long long>(named.nFileSizeHigh) << 32) | named.nFileSizeLow) ==
            s.hashed;
    CloseHandle(again);
    return same && BCRYPT_SUCCESS(BCryptFinishHash(s.hashing.hash, digest, kSha256Size, 0));
}

unsigned long long GrowingFileHash::hashedBytes() const {
    return m_state->hashed;
}

} // namespace hostplatform
