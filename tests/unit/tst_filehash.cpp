// SHA-256 of a file through the operating-system door: known digests, files
// over several read chunks checked against Qt's own implementation, buffered
// and from the device, and the files it must refuse.
#include "platform/HostPlatform.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The digest as hex, or "failed".
QByteArray hexDigestOf(const QString &localFile, bool fromDevice = false) {
    unsigned char digest[hostplatform::kSha256Size];
    if (!hostplatform::sha256OfFile(QFile::encodeName(localFile).toStdString(), digest, fromDevice))
        return QByteArrayLiteral("failed");
    return QByteArray(reinterpret_cast<const char *>(digest), hostplatform::kSha256Size).toHex();
}

// Qt's implementation, independent of the one under test.
QByteArray referenceHexDigestOf(const QString &localFile) {
    QFile file(localFile);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return QByteArrayLiteral("unreadable");
    return hash.result().toHex();
}

bool writeFile(const QString &localFile, const QByteArray &content) {
    QFile file(localFile);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

// A sparse file of the given size with a few marked bytes, among them the
// last and those on both sides of each 1 MiB boundary, where a chunked
// reader could drop or repeat data.
bool writeSparseFile(const QString &localFile, qint64 size) {
    QFile file(localFile);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || !file.resize(size))
        return false;
    const qint64 mebibyte = 1 << 20;
    QList<qint64> marks{0, size - 1};
    for (qint64 boundary = mebibyte; boundary < size; boundary += mebibyte)
        marks << boundary - 1 << boundary;
    for (const qint64 at : marks) {
        if (!file.seek(at) || !file.putChar(static_cast<char>('A' + at % 26)))
            return false;
    }
    return true;
}

} // namespace

class TestFileHash : public QObject {
    Q_OBJECT

private slots:
    void knownDigests_data();
    void knownDigests();
    void filesOverSeveralChunksMatchTheReference_data();
    void filesOverSeveralChunksMatchTheReference();
    void pathsAreUtf8();
    void refusesWhatCannotBeRead();
    void growingFileHashedAsItArrives_data();
    void growingFileHashedAsItArrives();

private:
    QTemporaryDir m_dir;
};

void TestFileHash::knownDigests_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("digest");
    QTest::newRow("empty") << QByteArray()
                           << QByteArray("e3b0c44298fc1c149afbf4c8996fb924"
                                         "27ae41e4649b934ca495991b7852b855");
    QTest::newRow("abc") << QByteArray("abc")
                         << QByteArray("ba7816bf8f01cfea414140de5dae2223"
                                       "b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the padding needs a second block.
    QTest::newRow("two blocks") << QByteArray(
                                       "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")
                                << QByteArray("248d6a61d20638b8e5c026930c3e6039"
                                              "a33ce45964ff2167f6ecedd419db06c1");
}

void TestFileHash::knownDigests() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, digest);
    QVERIFY(m_dir.isValid());
    const QString file = m_dir.filePath(QStringLiteral("known.bin"));
    QVERIFY(writeFile(file, content));
    QCOMPARE(hexDigestOf(file), digest);
}

void TestFileHash::filesOverSeveralChunksMatchTheReference_data() {
    QTest::addColumn<qint64>("size");
    QTest::addColumn<bool>("fromDevice");
    const qint64 mebibyte = 1 << 20;
    for (const bool fromDevice : {false, true}) {
        const char *const how = fromDevice ? "from the device" : "buffered";
        const auto row = [&](const char *name, qint64 size) {
            QTest::addRow("%s, %s", name, how) << size << fromDevice;
        };
        row("one byte", 1);
        row("one byte short of a sector", 4095);
        row("one sector", 4096);
        row("one byte past a sector", 4097);
        row("one chunk exactly", mebibyte);
        row("one byte past a chunk", mebibyte + 1);
        row("three chunks and a bit", 3 * mebibyte + 17);
        row("40 MiB", 40 * mebibyte);
    }
}

void TestFileHash::filesOverSeveralChunksMatchTheReference() {
    QFETCH(qint64, size);
    QFETCH(bool, fromDevice);
    QVERIFY(m_dir.isValid());
    const QString file = m_dir.filePath(QStringLiteral("sparse.bin"));
    QVERIFY(writeSparseFile(file, size));
    const QByteArray reference = referenceHexDigestOf(file);
    QCOMPARE(reference.size(), 64);
    QCOMPARE(hexDigestOf(file, fromDevice), reference);

    // One changed byte in the middle of a later chunk changes the digest.
    QFile changed(file);
    QVERIFY(changed.open(QIODevice::ReadWrite));
    QVERIFY(changed.seek(size / 2 + 3));
    QVERIFY(changed.putChar('#'));
    changed.close();
    const QByteArray changedDigest = hexDigestOf(file, fromDevice);
    QVERIFY(changedDigest != reference);
    QCOMPARE(changedDigest, referenceHexDigestOf(file));
}

void TestFileHash::pathsAreUtf8() {
    QVERIFY(m_dir.isValid());
    const QString file = m_dir.filePath(QStringLiteral("Wiederherstellung \u00e4 \u6587.wim"));
    QVERIFY(writeFile(file, "abc"));
    unsigned char digest[hostplatform::kSha256Size];
    QVERIFY(hostplatform::sha256OfFile(file.toUtf8().toStdString(), digest));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(digest), hostplatform::kSha256Size).toHex(),
             QByteArray("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
}

void TestFileHash::refusesWhatCannotBeRead() {
    QVERIFY(m_dir.isValid());
    for (const bool fromDevice : {false, true}) {
        QCOMPARE(hexDigestOf(m_dir.filePath(QStringLiteral("missing.wim")), fromDevice),
                 QByteArrayLiteral("failed"));
        QCOMPARE(hexDigestOf(m_dir.path(), fromDevice), QByteArrayLiteral("failed")); // a folder
        QCOMPARE(hexDigestOf(QString(), fromDevice), QByteArrayLiteral("failed"));
    }
}

enum class Ending { Appended, Replaced, Shortened };
Q_DECLARE_METATYPE(Ending)

void TestFileHash::growingFileHashedAsItArrives_data() {
    QTest::addColumn<Ending>("ending");
    QTest::newRow("written to its end") << Ending::Appended;
    QTest::newRow("another file put in its place") << Ending::Replaced;
    QTest::newRow("cut short by its writer") << Ending::Shortened;
}

// A download written in pieces, hashed between them: the same digest as one
// pass over the whole file, or no digest at all when the file at the end is
// not the one that was followed.
void TestFileHash::growingFileHashedAsItArrives() {
    QFETCH(Ending, ending);
    QVERIFY(m_dir.isValid());
    const QString path = m_dir.filePath(QStringLiteral("growing.wim"));
    QFile::remove(path);
    hostplatform::GrowingFileHash hash(QFile::encodeName(path).toStdString());
    hash.catchUp(); // before the file exists
    QFile writer(path);
    QVERIFY(writer.open(QIODevice::WriteOnly));
    QByteArray whole;
    for (int piece = 0; piece < 5; ++piece) {
        // Pieces across the reader's 1 MiB chunks, one of them empty.
        const QByteArray data(piece == 2 ? 0 : (700 << 10) + piece, static_cast<char>('a' + piece));
        QCOMPARE(writer.write(data), qint64(data.size()));
        QVERIFY(writer.flush());
        whole += data;
        hash.catchUp();
        QCOMPARE(hash.hashedBytes(), static_cast<unsigned long long>(whole.size()));
    }
    const QByteArray tail("the last bytes");
    writer.write(tail);
    writer.close();
    whole += tail;
    if (ending == Ending::Replaced) {
        QVERIFY(QFile::remove(path));
        QVERIFY(writeFile(path, whole)); // the same bytes, yet not the file followed
    }
    if (ending == Ending::Shortened)
        QVERIFY(QFile::resize(path, whole.size() / 2)); // below what was already hashed

    unsigned char digest[hostplatform::kSha256Size];
    const bool finished = hash.finish(digest);
    QCOMPARE(finished, ending == Ending::Appended);
    if (finished)
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(digest), hostplatform::kSha256Size),
                 QCryptographicHash::hash(whole, QCryptographicHash::Sha256));
}

QTEST_GUILESS_MAIN(TestFileHash)
#include "tst_filehash.moc"
