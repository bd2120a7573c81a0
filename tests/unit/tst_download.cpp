// A download judged as it arrives: SHA-256 of a file through the
// operating-system door, buffered and from the device (files across the
// reader's sector and chunk boundaries against Qt's own implementation, the
// paths it must refuse, a download hashed as it grows), and the rule that
// tells a dead transfer from a slow one.
#include "platform/HostPlatform.h"

#include <QtTest>

namespace {

// The digest as hex, or "failed". Paths are UTF-8.
QByteArray hexDigestOf(const QString &localFile, bool fromDevice) {
    unsigned char digest[hostplatform::kSha256Size];
    if (!hostplatform::sha256OfFile(localFile.toUtf8().toStdString(), digest, fromDevice))
        return QByteArrayLiteral("failed");
    return QByteArray(reinterpret_cast<const char *>(digest), sizeof digest).toHex();
}

bool writeFile(const QString &localFile, const QByteArray &content) {
    QFile file(localFile);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

enum class Ending { Appended, Replaced, Shortened };

} // namespace

Q_DECLARE_METATYPE(Ending)

class TestDownload : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // Empty, and sparse files with marked bytes at the end and on both sides
    // of each 1 MiB boundary, where a chunked reader could drop or repeat
    // data; the name is not ASCII.
    void filesAcrossChunksMatchTheReference_data() {
        QTest::addColumn<qint64>("size");
        for (const qint64 size :
             {0, 4095, 4096, 4097, 1 << 20, (1 << 20) + 1, (3 << 20) + 17, 40 << 20})
            QTest::addRow("%lld bytes", size) << size;
    }
    void filesAcrossChunksMatchTheReference() {
        QFETCH(qint64, size);
        const QString path = m_dir.filePath(QStringLiteral("Wiederherstellung \u00e4 \u6587.wim"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.resize(size));
        QList<qint64> marks;
        if (size > 0)
            marks << 0 << size - 1;
        for (qint64 boundary = 1 << 20; boundary < size; boundary += 1 << 20)
            marks << boundary - 1 << boundary;
        for (const qint64 at : marks)
            QVERIFY(file.seek(at) && file.putChar(static_cast<char>('A' + at % 26)));
        file.close();
        QCryptographicHash reference(QCryptographicHash::Sha256);
        QVERIFY(file.open(QIODevice::ReadOnly) && reference.addData(&file));
        for (const bool fromDevice : {false, true})
            QCOMPARE(hexDigestOf(path, fromDevice), reference.result().toHex());
    }

    void refusesWhatCannotBeRead() {
        for (const bool fromDevice : {false, true}) {
            for (const QString &path :
                 {m_dir.filePath(QStringLiteral("missing.wim")), m_dir.path(), QString()})
                QCOMPARE(hexDigestOf(path, fromDevice), QByteArrayLiteral("failed"));
        }
    }

    void growingFileHashedAsItArrives_data() {
        QTest::addColumn<Ending>("ending");
        QTest::newRow("written to its end") << Ending::Appended;
        QTest::newRow("another file put in its place") << Ending::Replaced;
        QTest::newRow("cut short by its writer") << Ending::Shortened;
    }
    // A download written in pieces, hashed between them: the digest of the
    // whole file, or none when the file at the end is not the one followed.
    void growingFileHashedAsItArrives() {
        QFETCH(Ending, ending);
        const QString path = m_dir.filePath(QStringLiteral("growing.wim"));
        QFile::remove(path);
        hostplatform::GrowingFileHash hash(path.toUtf8().toStdString());
        hash.catchUp(); // before the file exists
        QFile writer(path);
        QVERIFY(writer.open(QIODevice::WriteOnly));
        QByteArray whole;
        for (int piece = 0; piece < 5; ++piece) {
            // Pieces across the reader's 1 MiB chunks, one of them empty.
            const QByteArray data(piece == 2 ? 0 : (700 << 10) + piece, char('a' + piece));
            QVERIFY(writer.write(data) == data.size() && writer.flush());
            whole += data;
            hash.catchUp();
            QCOMPARE(hash.hashedBytes(), static_cast<unsigned long long>(whole.size()));
        }
        writer.write("the last bytes");
        writer.close();
        whole += "the last bytes";
        if (ending == Ending::Replaced) // the same bytes, yet not the file followed
            QVERIFY(QFile::remove(path) && writeFile(path, whole));
        if (ending == Ending::Shortened) // below what was already hashed
            QVERIFY(QFile::resize(path, whole.size() / 2));
        unsigned char digest[hostplatform::kSha256Size];
        QCOMPARE(hash.finish(digest), ending == Ending::Appended);
        if (ending == Ending::Appended)
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(digest), sizeof digest),
                     QCryptographicHash::hash(whole, QCryptographicHash::Sha256));
    }

    // Samples "milliseconds:bytes so far", and the index of the first one at
    // which the transfer counts as dead (-1: never).
    void stallRule_data() {
        QTest::addColumn<QString>("samples");
        QTest::addColumn<int>("stalledAt");
        QTest::newRow("silent for a whole minute") << "0:0 59999:0 60000:0" << 2;
        QTest::newRow("64 KiB a minute is enough")
            << "0:0 60000:65536 119999:65536 120000:131072" << -1;
        QTest::newRow("a byte short of 64 KiB") << "0:0 60000:65535" << 1;
        QTest::newRow("each window judged from the last") << "0:0 60000:65536 120000:131071" << 2;
        QTest::newRow("half the image, then a byte every 50 s")
            << "0:119113402 50000:119113403 100000:119113404" << 2;
    }
    void stallRule() {
        QFETCH(QString, samples);
        QFETCH(int, stalledAt);
        hostplatform::StallWatch watch;
        int first = -1;
        const QStringList list = samples.split(QLatin1Char(' '));
        for (int i = 0; i < list.size() && first < 0; ++i) {
            if (watch.stalled(list[i].section(':', 0, 0).toULongLong(),
                              list[i].section(':', 1, 1).toULongLong()))
                first = i;
        }
        QCOMPARE(first, stalledAt);
    }
};

QTEST_GUILESS_MAIN(TestDownload)
#include "tst_download.moc"
