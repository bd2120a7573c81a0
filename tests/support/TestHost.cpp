#include "TestHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TestHost::TestHost(const simhost::HostSpec &setup) {
    m_hadPreviousRoot = qEnvironmentVariableIsSet(simhost::kHostRootVariable);
    m_previousRoot = qgetenv(simhost::kHostRootVariable);
    if (!m_dir.isValid()) {
        m_error = m_dir.errorString();
        return;
    }
    m_root = m_dir.path() + QStringLiteral("/host");
    m_valid = simhost::createHost(m_root, setup, &m_error);
    qputenv(simhost::kHostRootVariable, QFile::encodeName(m_root));
}

TestHost::~TestHost() {
    if (m_hadPreviousRoot)
        qputenv(simhost::kHostRootVariable, m_previousRoot);
    else
        qunsetenv(simhost::kHostRootVariable);
}

QByteArray TestHost::read(const QString &windowsPath) const {
    QFile f(local(windowsPath));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool TestHost::write(const QString &windowsPath, const QByteArray &content) const {
    const QString path = local(windowsPath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}
