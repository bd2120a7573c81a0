// The states of the main window that a user can tell apart, checked on the
// real widgets: idle, building, finished, failed.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class ToolSession;

namespace windowstates {

// The window's states as ToolSession::describe() reads them.
extern const QString kIdle;             // the list, Create Recovery Drive, the ways out
extern const QString kIdleWithoutDrive; // nothing to build on: only the ways out
extern const QString kConfirming;       // idle, the confirmation over it
extern const QString kDownloading;      // nothing written yet: the user may still leave
extern const QString kUsbModel; // the sample host's stick as the list shows it: model, size, letter

// Idle with drives: the list, Create Recovery Drive and the ways out.
void verifyIdle(ToolSession &session, const QStringList &drives, const QList<QVariant> &numbers);
// Right after OK: progress 0, the animation, the download's ways out.
void verifyBuilding(ToolSession &session);
// "Process completed" at 100 %, every control back, no dialog.
void verifyFinished(ToolSession &session);
// The failure dialog is up; the window keeps its building look with every
// control disabled, and nothing claims success.
void verifyFailureDialog(ToolSession &session);

} // namespace windowstates
