// A picture of everything on a simulated host that a build must leave alone:
// every disk's description and volume (a stick taken out included), every
// drive letter and the system drive, each file by its SHA-256. Taken before and after a build, the
// two must be equal.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

class TestHost;

class HostSnapshot {
public:
    // chosenDisk: the disk the user picked (its folder, and every letter that
    // leads to its volume, may change). exceptOnC: Windows paths on C: that
    // a build may change (the temporary folder, the work folders).
    static HostSnapshot take(const TestHost &host, const QString &chosenDisk,
                             const QStringList &exceptOnC);

    // The entries that differ, one line each; empty when nothing changed.
    QStringList differencesTo(const HostSnapshot &later) const;

private:
    void addTree(const QString &label, const QString &folder, const QStringList &skip);

    QMap<QString, QString> m_entries; // "disks/disk0/volume/x" -> hash, link target, "folder"
};

// Fails the running test, naming each difference, unless later equals before.
#define VERIFY_UNCHANGED(before, later)                                                            \
    do {                                                                                           \
        const QStringList differences_ = (before).differencesTo(later);                            \
        QVERIFY2(differences_.isEmpty(), qPrintable(differences_.join(QLatin1Char('\n'))));        \
    } while (false)
