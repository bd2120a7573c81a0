// SHA-256 of a file through CNG, read buffered and from the device, and of a
// file while its writer fills it.
#include "Win32Test.h"

#include "platform/HostPlatform.h"

#include <algorithm>
#include <cstdint>
#include <functional>

using namespace win32test;

namespace {

constexpr std::size_t kMebibyte = 1 << 20;

std::string hexOf(const unsigned char digest[hostplatform::kSha256Size]) {
    char text[2 * hostplatform::kSha256Size + 1] = "";
    for (int i = 0; i < hostplatform::kSha256Size; ++i)
        std::snprintf(text + 2 * i, 3, "%02x", digest[i]);
    return text;
}

// The path in UTF-8.
std::string hexDigestOf(const std::string &path, bool fromDevice) {
    unsigned char digest[hostplatform::kSha256Size];
    return hostplatform::sha256OfFile(path, digest, fromDevice) ? hexOf(digest) : "failed";
}

// Bytes without long runs. The digests below were computed apart from this
// code, by another SHA-256 implementation, from the same bytes:
//   bytes((((i * 2654435761) & 0xffffffff) >> 24) for i in range(size))
std::string generatedContent(std::size_t size) {
    std::string content(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        content[i] = static_cast<char>((static_cast<std::uint32_t>(i) * 2654435761u) >> 24);
    return content;
}

const char kDigest3MiB17[] = "ec6e51012702b68fe7ac6bcb47f1b4ecc73c1889d520863326db8f07a64228d4";

void wholeFiles() {
    const std::wstring file = tempFolder() + L"bmc_hash.bin";
    // Around a sector and the 1 MiB read chunk: the short last read counts.
    const std::pair<std::size_t, const char *> cases[] = {
        {0, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {4097, "3b4aed39ce4af3750877015c66bbfbc0a50c798c0e1d46f42b984c539092eef2"},
        {kMebibyte, "ca6073392ee71dbd1a2d356c3caa233f8f828ae17f8f8ba8570ee3491be128ab"},
        {3 * kMebibyte + 17, kDigest3MiB17},
    };
    for (const auto &[size, digest] : cases) {
        CHECK(writeFile(file, generatedContent(size)));
        CHECK_EQ(hexDigestOf(narrow(file), false), digest);
        CHECK_EQ(hexDigestOf(narrow(file), true), digest);
    }
    removeFile(file);

    // What cannot be read is a failure, never a digest.
    const std::string temp = narrow(tempFolder());
    for (const bool fromDevice : {false, true})
        for (const std::string &bad :
             {temp + "bmc_hash_missing.bin", temp /* a folder */, std::string()})
            CHECK_ROW(bad, hexDigestOf(bad, fromDevice), "failed");
}

// Whether a hash that followed the file from its start still finishes
// after change.
bool finishesAfter(const std::wstring &file, const std::function<void()> &change) {
    hostplatform::GrowingFileHash hash(narrow(file));
    hash.catchUp();
    change();
    unsigned char digest[hostplatform::kSha256Size];
    return hash.finish(digest);
}

void growingFile() {
    const std::wstring file = tempFolder() + L"bmc_hash_growing.bin";
    const std::string content = generatedContent(3 * kMebibyte + 17);
    removeFile(file);
    {
        hostplatform::GrowingFileHash hash(narrow(file));
        hash.catchUp(); // before the file exists
        std::ofstream writer(file.c_str(), std::ios::binary);
        for (std::size_t at = 0; at < content.size(); at += 700 * 1024) {
            const std::size_t part = std::min<std::size_t>(700 * 1024, content.size() - at);
            CHECK(writer.write(content.data() + at, std::streamsize(part)).flush());
            hash.catchUp();
            CHECK_EQ(hash.hashedBytes(), at + part);
        }
        writer.close();
        unsigned char digest[hostplatform::kSha256Size];
        CHECK(hash.finish(digest) && hexOf(digest) == kDigest3MiB17);
    }
    // The same bytes, but another file put in its place: not what was followed.
    const std::wstring copy = file + L".copy", old = file + L".old";
    CHECK(!finishesAfter(file, [&]() {
        CHECK(writeFile(copy, content) && MoveFileW(file.c_str(), old.c_str()) &&
              MoveFileW(copy.c_str(), file.c_str()));
    }));
    removeFile(old);
    // Shorter than what was hashed.
    CHECK(!finishesAfter(
        file, [&]() { std::ofstream(file.c_str(), std::ios::binary) << content.substr(0, 100); }));
    removeFile(file);
}

} // namespace

void fileHashTests() {
    wholeFiles();
    growingFile();
}
