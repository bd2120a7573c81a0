#include "support/WindowStates.h"

#include "support/ToolSession.h"

#include <QtTest>

namespace windowstates {

const QString kIdle = QStringLiteral("list on | create shown,on | leave on | status hidden | "
                                     "progress hidden | animation shown | confirm hidden | "
                                     "failure hidden");
const QString kIdleWithoutDrive =
    QString(kIdle).replace("list on | create shown,on", "list off | create shown,off");
const QString kConfirming = QString(kIdle).replace("confirm hidden", "confirm shown");
const QString kDownloading =
    QStringLiteral("list off | create hidden,off | leave on | status shown | progress shown | "
                   "animation shown,running | confirm hidden | failure hidden");

const QString kUsbModel = QStringLiteral("Generic Flash Disk USB Device (14.9 GB, E:)");

void verifyIdle(ToolSession &session, const QStringList &drives, const QList<QVariant> &numbers) {
    QCOMPARE(session.driveTexts(), drives);
    QCOMPARE(session.driveNumbers(), numbers);
    QCOMPARE(session.window()->DiskComboBox->currentIndex(), 0);
    QCOMPARE(session.describe(), kIdle);
}

void verifyBuilding(ToolSession &session) {
    // The download may be stopped: nothing has been written yet.
    QCOMPARE(session.describe(), kDownloading);
    QCOMPARE(session.window()->progressBar->value(), 0);
}

void verifyFinished(ToolSession &session) {
    QCOMPARE(session.describe(),
             QString(kIdle).replace("status hidden | progress hidden | animation shown",
                                    "status shown | progress shown | animation hidden"));
    QCOMPARE(session.window()->label_2->text(), kCompletedText);
    QCOMPARE(session.window()->progressBar->value(), 100);
}

void verifyFailureDialog(ToolSession &session) {
    // Every way on goes through the dialog; nothing claims success.
    const QRegularExpression failed("^list off \\| create hidden,off \\| leave off \\| .* \\| "
                                    "animation hidden \\| confirm \\w+ \\| failure shown$");
    QVERIFY2(failed.match(session.describe()).hasMatch(), qPrintable(session.describe()));
    QVERIFY(session.window()->label_2->text() != kCompletedText);
    for (QAbstractButton *way : {session.info()->RecreateButton, session.info()->CancelButton})
        QVERIFY(way->isVisible() && way->isEnabled());
}

} // namespace windowstates
