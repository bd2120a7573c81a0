// The build log for support: every command line a build runs, with its exit
// code and duration, and the outcome of each check. One file in the
// temporary folder, replaced at the start of every build. Writing it never
// affects the build: a log that cannot be written is skipped.
#pragma once

#include <QFile>
#include <QString>

class BuildLog {
public:
    // Starts a new log in localFile, replacing an earlier one.
    void open(const QString &localFile);

    void command(const QString &commandLine, long long exitCode, qint64 milliseconds);
    void check(const QString &what, bool passed, const QString &detail = QString());
    void note(const QString &text);

private:
    void write(const QString &line);

    QFile m_file;
};
