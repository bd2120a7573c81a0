// Helpers of the stand-in tool tests: run a command the way the product
// does, and read what the hidden console of the last commands printed.
#pragma once

#include "command/ShellCommandRunner.h"
#include "support/TestHost.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// Runs "<COMSPEC> /c <command> " through the product's runner.
inline long long runCommand(const QString &command) {
    return ShellCommandRunner(command.toUtf8().constData(), "");
}

// A program of the host's system directory.
inline QString systemProgram(const QString &rest) {
    return QStringLiteral("C:\\Windows\\system32\\") + rest;
}

// What the commands printed since the last call, and clears it.
inline QByteArray takeConsole(const TestHost &host) {
    QFile file(host.root() + QStringLiteral("/console.log"));
    if (!file.open(QIODevice::ReadWrite))
        return QByteArray();
    const QByteArray text = file.readAll();
    file.resize(0);
    return text;
}
