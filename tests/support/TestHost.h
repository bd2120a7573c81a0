// A fresh simulated Windows host for one test: made in a temporary folder and
// made the host of this process (and of every tool it starts) for as long as
// the object lives.
#pragma once

#include "sim/hosts/HostSetup.h"

#include <QByteArray>
#include <QList>
#include <QTemporaryDir>

class TestHost {
public:
    explicit TestHost(const simhost::HostSpec &setup = simhost::sampleHostSpec());
    ~TestHost();
    TestHost(const TestHost &) = delete;
    TestHost &operator=(const TestHost &) = delete;

    bool isValid() const { return m_valid; }
    QString error() const { return m_error; }
    QString root() const { return m_root; }

    // Local path of a Windows path on this host.
    QString local(const QString &windowsPath) const {
        return simhost::localPath(m_root, windowsPath);
    }
    QList<simhost::LoggedCommand> commands() const { return simhost::readCommandLog(m_root); }

    // Reads a whole file of the host, empty when it does not exist.
    QByteArray read(const QString &windowsPath) const;
    bool write(const QString &windowsPath, const QByteArray &content) const;

private:
    QTemporaryDir m_dir;
    QString m_root;
    QByteArray m_previousRoot;
    bool m_hadPreviousRoot = false;
    bool m_valid = false;
    QString m_error;
};
