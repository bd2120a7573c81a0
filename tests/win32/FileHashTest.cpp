// SHA-256 of a file through CNG: known digests, files over several read
// chunks, and the paths it must refuse.
#include "Win32Check.h"
#include "Win32TestSupport.h"

#include "platform/HostPlatform.h"

#include <cstdint>
#include <string>

using namespace win32test;

namespace {

constexpr std::size_t kMebibyte = 1 << 20;

// The digest as lower-case hex, or "failed".
std::string hexDigestOf(const std::string &utf8Path) {
    unsigned char digest[hostplatform::kSha256Size];
    if (!hostplatform::sha256OfFile(utf8Path, digest))
        return "failed";
    static const char hex[] = "0123456789abcdef";
    std::string text;
    for (const unsigned char byte : digest) {
        text += hex[byte >> 4];
        text += hex[byte & 0x0f];
    }
    return text;
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

} // namespace

int main() {
    knownDigests();
    severalChunks();
    pathsAndRefusals();
    return win32check::finish();
}
