#include "builder/BuildLog.h"

#include "command/ShellCommandRunner.h"

#include <QDateTime>

void BuildLog::open(const QString &localFile) {
    if (m_file.isOpen())
        m_file.close();
    m_file.setFileName(localFile);
    // A log that cannot be opened is skipped: write() finds it closed.
    m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
}

void BuildLog::command(const QString &commandLine, long long exitCode, qint64 milliseconds) {
    const QString result = exitCode == kCommandNotStarted
                               ? QStringLiteral("not started")
                               : QStringLiteral("exit code %1").arg(exitCode);
    write(QStringLiteral("run   %1 (%2, %3 ms)").arg(commandLine, result).arg(milliseconds));
}

void BuildLog::check(const QString &what, bool passed, const QString &detail) {
    write(QStringLiteral("check %1: %2%3")
              .arg(what, passed ? QLatin1String("passed") : QLatin1String("FAILED"),
                   detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(detail)));
}

void BuildLog::note(const QString &text) {
    write(QStringLiteral("note  ") + text);
}

void BuildLog::write(const QString &line) {
    if (!m_file.isOpen())
        return;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss.zzz"));
    m_file.write((stamp + QLatin1Char(' ') + line + QLatin1Char('\n')).toUtf8());
    m_file.flush(); // a build that never ends still leaves its log up to the hang
}
