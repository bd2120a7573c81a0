// SHA-256 of a file through CNG: known digests, files over several read
// chunks, the read past the file cache, and the paths it must refuse.
#include "Win32Check.h"
#include "Win32TestSupport.h"

#include "platform/HostPlatform.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

using namespace win32test;

namespace {

constexpr std::size_t kMebibyte = 1 << 20;

std::string hexOf(const unsigned char digest[hostplatform::kSha256Size]) {
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (int i = 0; i < hostplatform::kSha256Size; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 0x0f];
    }
    return text;
}

// The digest as lower-case hex, or "failed".
std::string hexDigestOf(const std::string &utf8Path, bool fromDevice = false) {
    unsigned char digest[hostplatform::kSha256Size];
    if (!hostplatform::sha256OfFile(utf8Path, digest, fromDevice))
        return "failed";
    return hexOf(digest);
}

// Deterministic bytes without long runs: the top byte of a multiplicative
// hash of the position. The digests below were computed apart from this
// code, from the same bytes, by another SHA-256 implementation:
//   bytes((((i * 2654435761) & 0xffffffff) >> 24) for i in range(size))
std::string generatedContent(std::size_t size) {
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        content[i] = static_cast<char>((static_cast<std::uint32_t>(i) * 2654435761u) >> 24);
    return content;
}

void knownDigests() {
    win32check::section("sha256OfFile: known digests");
    const std::wstring file = tempFolder() + L"bmc_hash_known.bin";
    const std::string path = narrow(file);

    CHECK(writeFile(file, ""));
    CHECK_EQ(hexDigestOf(path), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    CHECK(writeFile(file, "abc"));
    CHECK_EQ(hexDigestOf(path), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the padding needs a second block.
    CHECK(writeFile(file, "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"));
    CHECK_EQ(hexDigestOf(path), "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    removeFile(file);
}

void severalChunks() {
    win32check::section("sha256OfFile: several chunks");
    const std::wstring file = tempFolder() + L"bmc_hash_chunks.bin";
    const std::string path = narrow(file);

    // Exactly one read chunk: the read after it finds the end.
    CHECK(writeFile(file, generatedContent(kMebibyte)));
    CHECK_EQ(hexDigestOf(path), "ca6073392ee71dbd1a2d356c3caa233f8f828ae17f8f8ba8570ee3491be128ab");

    // Three chunks and a short one.
    std::string content = generatedContent(3 * kMebibyte + 17);
    CHECK(writeFile(file, content));
    CHECK_EQ(hexDigestOf(path), "ec6e51012702b68fe7ac6bcb47f1b4ecc73c1889d520863326db8f07a64228d4");

    // One changed byte in a later chunk changes the digest.
    content[2 * kMebibyte + 5] ^= 0x01;
    CHECK(writeFile(file, content));
    const std::string changed = hexDigestOf(path);
    CHECK(changed != "failed");
    CHECK(changed != "ec6e51012702b68fe7ac6bcb47f1b4ecc73c1889d520863326db8f07a64228d4");
    removeFile(file);
}

// Whether this system holds a file opened without buffering to the sector
// rules (an unaligned read is refused). Where it does not, the reads from the
// device below cannot show that they keep to those rules.
bool unbufferedReadsAreChecked(const std::wstring &file) {
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_NO_BUFFERING, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    static char buffer[2 * 4096];
    DWORD got = 0;
    const bool refused = !ReadFile(handle, buffer + 1, 4095, &got, nullptr);
    CloseHandle(handle);
    return refused;
}

void fromTheDevice() {
    win32check::section("sha256OfFile: from the device");
    const std::wstring file = tempFolder() + L"bmc_hash_device.bin";
    const std::string path = narrow(file);

    // Around a sector, and a short last read after whole chunks. Digests
    // computed apart, as above.
    const struct {
        std::size_t size;
        const char *digest;
    } cases[] = {
        {0, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {1, "6e340b9cffb37a989ca544e6bb780a2c78901d3fb33738768511a30617afa01d"},
        {4095, "48670817a092d663c19775584cad82d21905ce7fe45a4701a8ba54b00fe51b82"},
        {4096, "e8b3f20275f7b9cd35f2ddf0e1be6263c9a2982e5e6e44d7168c140398b7cc64"},
        {4097, "3b4aed39ce4af3750877015c66bbfbc0a50c798c0e1d46f42b984c539092eef2"},
        {kMebibyte, "ca6073392ee71dbd1a2d356c3caa233f8f828ae17f8f8ba8570ee3491be128ab"},
        {kMebibyte + 17, "d5765b32b740f63789ae69fee80ec63b3432c31f7388b758f8b836cce08ba6f5"},
        {3 * kMebibyte + 17, "ec6e51012702b68fe7ac6bcb47f1b4ecc73c1889d520863326db8f07a64228d4"},
    };
    for (const auto &known : cases) {
        std::printf("   %llu bytes\n", static_cast<unsigned long long>(known.size));
        CHECK(writeFile(file, generatedContent(known.size)));
        CHECK_EQ(hexDigestOf(path, true), known.digest);
        CHECK_EQ(hexDigestOf(path, false), known.digest);
    }

    // A change in the short remainder after the last whole chunk counts.
    std::string content = generatedContent(kMebibyte + 17);
    content[kMebibyte + 16] ^= 0x01;
    CHECK(writeFile(file, content));
    const std::string changed = hexDigestOf(path, true);
    CHECK(changed != "failed");
    CHECK(changed != "d5765b32b740f63789ae69fee80ec63b3432c31f7388b758f8b836cce08ba6f5");
    CHECK_EQ(changed, hexDigestOf(path, false));

    if (!unbufferedReadsAreChecked(file))
        std::printf("   note: this system does not enforce the sector rules of unbuffered "
                    "reads; only the digests were checked\n");
    removeFile(file);

    // The same refusals as the buffered read, and UTF-8 names.
    CHECK_EQ(hexDigestOf(narrow(tempFolder() + L"bmc_hash_missing.bin"), true), "failed");
    CHECK_EQ(hexDigestOf(narrow(tempFolder()), true), "failed");
    CHECK_EQ(hexDigestOf("", true), "failed");
    const std::wstring named = tempFolder() + L"bmc_hash_\u00e4\u6587_device.bin";
    CHECK(writeFile(named, "abc"));
    CHECK_EQ(hexDigestOf(narrow(named), true),
             "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    removeFile(named);
}

void pathsAndRefusals() {
    win32check::section("sha256OfFile: paths");
    // The path arrives as UTF-8 and must reach the file system as the same name.
    const std::wstring file = tempFolder() + L"bmc_hash_\u00e4\u6587.bin";
    CHECK(writeFile(file, "abc"));
    CHECK_EQ(hexDigestOf(narrow(file)),
             "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    removeFile(file);

    CHECK_EQ(hexDigestOf(narrow(tempFolder() + L"bmc_hash_missing.bin")), "failed");
    CHECK_EQ(hexDigestOf(narrow(tempFolder())), "failed"); // a folder
    CHECK_EQ(hexDigestOf(""), "failed");
    // Malformed UTF-8 is refused, not read as the replacement character's name.
    const std::wstring replaced = tempFolder() + L"bmc_hash_\ufffd.bin";
    CHECK(writeFile(replaced, "abc"));
    CHECK_EQ(hexDigestOf(narrow(tempFolder()) + "bmc_hash_\xff.bin"), "failed");
    removeFile(replaced);
}

// A file hashed while its writer fills it: the digest of one pass over it.
void growingFile() {
    const std::wstring file = tempFolder() + L"bmc_hash_growing.bin";
    const std::string content = generatedContent(3 * kMebibyte + 5);
    removeFile(file);
    hostplatform::GrowingFileHash hash(narrow(file));
    hash.catchUp(); // before the file exists
    HANDLE writer = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, 0, nullptr);
    CHECK(writer != INVALID_HANDLE_VALUE);
    for (std::size_t at = 0; at < content.size(); at += 700 * 1024) {
        const DWORD part =
            static_cast<DWORD>(std::min<std::size_t>(700 * 1024, content.size() - at));
        DWORD written = 0;
        CHECK(WriteFile(writer, content.data() + at, part, &written, nullptr) && written == part);
        hash.catchUp();
        CHECK_EQ(static_cast<long long>(hash.hashedBytes()), static_cast<long long>(at + part));
    }
    CloseHandle(writer);
    unsigned char digest[hostplatform::kSha256Size];
    CHECK(hash.finish(digest));
    CHECK_EQ(hexOf(digest), hexDigestOf(narrow(file)));
    removeFile(file);
}

} // namespace

int main() {
    knownDigests();
    severalChunks();
    fromTheDevice();
    pathsAndRefusals();
    growingFile();
    return win32check::finish();
}
