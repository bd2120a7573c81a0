// SHA-256 of files on the simulated host, through libcrypto as Windows does
// through CNG: of a finished file, read past the page cache where asked, and
// of a file while it grows.
#include "platform/HostPlatform.h"

#include <openssl/evp.h>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace hostplatform {

bool sha256OfFile(const std::string &localFile, unsigned char digest[kSha256Size],
                  bool fromDevice) {
    // Read size: large enough that the calls cost nothing beside the hashing.
    constexpr std::size_t kChunk = 1 << 20;
    const int file = open(localFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return false;
    if (fromDevice) {
        // The page cache drops only clean pages: write the file out first. A
        // failed write-out means the device does not hold the data. What stays
        // cached after that (pages mapped elsewhere) is still read from memory.
        if (fdatasync(file) != 0 && errno == EIO) {
            close(file);
            return false;
        }
        posix_fadvise(file, 0, 0, POSIX_FADV_DONTNEED);
    }
    posix_fadvise(file, 0, 0, POSIX_FADV_SEQUENTIAL);
    const std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX *)> context(EVP_MD_CTX_new(),
                                                                      &EVP_MD_CTX_free);
    const std::unique_ptr<unsigned char[]> chunk(new unsigned char[kChunk]);
    bool ok = context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1;
    while (ok) {
        const ssize_t got = read(file, chunk.get(), kChunk);
        if (got == 0)
            break;
        if (got < 0) {
            ok = errno == EINTR;
            continue;
        }
        ok = EVP_DigestUpdate(context.get(), chunk.get(), static_cast<std::size_t>(got)) == 1;
    }
    close(file);
    unsigned int length = 0;
    return ok && EVP_DigestFinal_ex(context.get(), digest, &length) == 1 &&
           length == static_cast<unsigned int>(kSha256Size);
}

struct GrowingFileHash::State {
    std::string path;
    int file = -1;
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    bool ok = context && EVP_DigestInit_ex(context, EVP_sha256(), nullptr) == 1;
    unsigned long long hashed = 0;
    std::unique_ptr<unsigned char[]> chunk{new unsigned char[1 << 20]};

    ~State() {
        if (file >= 0)
            close(file);
        EVP_MD_CTX_free(context);
    }

    // Hashes from where the last read ended up to the current end.
    void readToEnd() {
        if (file < 0)
            file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        while (ok && file >= 0) {
            const ssize_t got = read(file, chunk.get(), 1 << 20);
            if (got == 0)
                return;
            if (got < 0) {
                ok = errno == EINTR;
                continue;
            }
            ok = EVP_DigestUpdate(context, chunk.get(), static_cast<std::size_t>(got)) == 1;
            hashed += static_cast<unsigned long long>(got);
        }
    }
};

GrowingFileHash::GrowingFileHash(const std::string &localFile) : m_state(new State) {
    m_state->path = localFile;
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
    // The file under the path must be the one read, and no longer or shorter.
    struct stat held {
    }, named{};
    if (!s.ok || s.file < 0 || fstat(s.file, &held) != 0 || stat(s.path.c_str(), &named) != 0 ||
        held.st_dev != named.st_dev || held.st_ino != named.st_ino ||
        static_cast<unsigned long long>(named.st_size) != s.hashed)
        return false;
    unsigned int length = 0;
    return EVP_DigestFinal_ex(s.context, digest, &length) == 1 &&
           length == static_cast<unsigned int>(kSha256Size);
}

unsigned long long GrowingFileHash::hashedBytes() const {
    return m_state->hashed;
}

} // namespace hostplatform
