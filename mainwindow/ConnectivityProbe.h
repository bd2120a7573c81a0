// The check that the internet can be reached before a build starts: one GET
// of a public web site's root, waited for in a nested event loop until its
// first data or its end.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace ConnectivityProbe {

// The probe target: the root of a large public web site over plain HTTP.
QString url();

// How long the check waits for a first answer before it counts as failed.
constexpr int kTimeoutMs = 30000;

// Sends the request and waits (the GUI keeps handling events meanwhile).
// True when at least one byte of response data arrived, whatever the HTTP
// status; false when the request ended without data, or when nothing came
// within timeoutMs: a connection that is accepted but never answered must not
// leave the window waiting for ever with every control disabled.
bool run(int timeoutMs = kTimeoutMs);

} // namespace ConnectivityProbe

// Where a dialog goes so that its centre sits on the centre of the window's
// geometry; integer halves round towards zero.
QPoint centredPosition(const QRect &windowGeometry, const QSize &dialogSize);
