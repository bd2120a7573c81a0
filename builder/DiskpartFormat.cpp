#include "builder/DiskpartFormat.h"

#include "builder/BuildLog.h"
#include "builder/DiskScript.h"
#include "command/HostPath.h"
#include "command/ShellCommandRunner.h"
#include "platform/HostPlatform.h"

#include <QElapsedTimer>
#include <QFileInfo>

namespace {

// diskpart with its commands on standard input, started by its full path in
// the system directory. Every wait for its answer is bounded; once an
// answer did not come, diskpart is given up and ended.
class DiskpartSession {
public:
    explicit DiskpartSession(BuildLog &log) : m_log(log) {}

    bool start(const QString &program, const QString &systemDirectory) {
        return m_console.start(program.toStdWString(), std::wstring(),
                               systemDirectory.toStdWString());
    }

    // Reads up to the next prompt; false when it did not come in time.
    bool awaitPrompt(unsigned long limitMs, const QString &command, QString *answer = nullptr) {
        std::string text;
        if (!m_console.readUntil(kDiskpartPrompt, &text, limitMs)) {
            m_answering = false;
            m_log.check(QStringLiteral("diskpart answered"), false,
                        command.isEmpty() ? QStringLiteral("no prompt after its start")
                                          : QStringLiteral("no prompt after \"%1\"").arg(command));
            return false;
        }
        if (answer)
            *answer = QString::fromUtf8(text.c_str(), int(text.size()));
        return true;
    }

    bool ask(const QString &command, unsigned long limitMs, QString *answer = nullptr) {
        if (m_console.send(command.toStdString()))
            return awaitPrompt(limitMs, command, answer);
        m_answering = false;
        m_log.check(QStringLiteral("diskpart answered"), false,
                    QStringLiteral("it had ended before \"%1\"").arg(command));
        return false;
    }

    // Leaves diskpart the way it is still able to go; its exit code.
    long long end() {
        if (m_answering && m_console.send("exit"))
            return m_console.finish(kDiskpartAnswerLimitMs);
        return m_console.finish(0);
    }

private:
    hostplatform::ConsoleSession m_console;
    BuildLog &m_log;
    bool m_answering = true;
};

DiskpartFormatResult selectAndFormat(DiskpartSession &session, const DiskpartFormat &format,
                                     const std::function<bool()> &stillChosen, BuildLog &log,
                                     QString *signature) {
    QString answer;
    if (!session.awaitPrompt(kDiskpartAnswerLimitMs, QString()) ||
        !session.ask(selectDiskCommand(format.chosen.number), kDiskpartAnswerLimitMs) ||
        !session.ask(QStringLiteral("detail disk"), kDiskpartAnswerLimitMs, &answer))
        return DiskpartFormatResult::Failed;
    const DiskDetail shown = parseDiskDetail(answer);
    const bool same = detailShowsDrive(shown, format.chosen);
    log.check(
        QStringLiteral("diskpart selected the chosen disk"), same,
        QStringLiteral("\"%1\", disk ID %2")
            .arg(shown.model, shown.diskId.isEmpty() ? QStringLiteral("none") : shown.diskId));
    // diskpart's selection is the disk it selected, not a number: once that
    // disk is gone, nothing is selected and clean fails rather than reach
    // another disk. Disk numbers are unique among the disks attached at any
    // instant, so the disk listed at the number now, while diskpart's
    // selection lives, is the one diskpart selected. When both it and what
    // diskpart showed are the chosen disk, clean can erase no other.
    if (!same || !stillChosen())
        return DiskpartFormatResult::DriveChanged;

    // Read from standard input, diskpart goes on after a failed command,
    // each on the selected disk only: what counts is the volume at the end.
    for (const QString &command : formatCommands(format.letter, format.layout.fileSystem,
                                                 format.layout.partitionMegabytes)) {
        if (!session.ask(command, kDiskpartWriteLimitMs))
            return DiskpartFormatResult::Failed;
    }
    if (!session.ask(QStringLiteral("detail disk"), kDiskpartAnswerLimitMs, &answer))
        return DiskpartFormatResult::Failed;
    const bool made = detailShowsVolume(answer, format.letter, format.layout.fileSystem);
    *signature = listedSignature(parseDiskDetail(answer).diskId);
    log.check(QStringLiteral("diskpart shows the new volume on the disk"), made,
              QString(format.letter) + QLatin1Char(':'));
    return made ? DiskpartFormatResult::Formatted : DiskpartFormatResult::Failed;
}

} // namespace

DiskpartFormatResult formatThroughDiskpart(const DiskpartFormat &format,
                                           const std::function<bool()> &stillChosen, BuildLog &log,
                                           QString *signature) {
    const QString program = format.systemDirectory + QStringLiteral("\\diskpart.exe");
    QElapsedTimer timer;
    timer.start();
    DiskpartSession session(log);
    if (!session.start(program, format.systemDirectory)) {
        log.command(program, kCommandNotStarted, timer.elapsed());
        return DiskpartFormatResult::Failed;
    }
    const DiskpartFormatResult result =
        selectAndFormat(session, format, stillChosen, log, signature);
    const long long code = session.end();
    log.command(program, code, timer.elapsed());
    if (result != DiskpartFormatResult::Formatted)
        return result;
    // The volume must also be there for the copies, under its letter.
    const bool reachable =
        QFileInfo(hostPath(QString(format.letter) + QStringLiteral(":\\"))).isDir();
    log.check(QStringLiteral("format"), code == 0 && reachable,
              QStringLiteral("diskpart ended with %1, %2: %3")
                  .arg(code)
                  .arg(format.letter)
                  .arg(reachable ? QLatin1String("reachable") : QLatin1String("not reachable")));
    return code == 0 && reachable ? result : DiskpartFormatResult::Failed;
}
