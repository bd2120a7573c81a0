#include "support/WindowStates.h"

#include "support/ToolSession.h"

#include <QMovie>
#include <QtTest>

namespace windowstates {

void verifyIdle(ToolSession &session, const QStringList &drives, const QList<QVariant> &numbers) {
    QCreateBootable *w = session.window();
    QCOMPARE(session.driveTexts(), drives);
    QCOMPARE(session.driveNumbers(), numbers);
    QCOMPARE(w->DiskComboBox->currentIndex(), 0);
    QVERIFY(w->DiskComboBox->isEnabled());
    QVERIFY(w->CreateBootable->isVisible() && w->CreateBootable->isEnabled());
    QVERIFY(w->CancelButton->isEnabled());
    QVERIFY(session.titleCloseButton()->isEnabled());
    QVERIFY(!w->label_2->isVisible());
    QVERIFY(!w->progressBar->isVisible());
    QVERIFY(!session.warning()->isVisible());
    QVERIFY(!session.info()->isVisible());
}

void verifyBuilding(ToolSession &session) {
    QCreateBootable *w = session.window();
    QVERIFY(!session.warning()->isVisible());
    QVERIFY(!session.info()->isVisible());
    QVERIFY(w->label_2->isVisible());
    QCOMPARE(w->label_2->text(), kStartedText);
    QVERIFY(w->progressBar->isVisible());
    QCOMPARE(w->progressBar->value(), 0);
    QVERIFY(!w->CreateBootable->isVisible());
    // The download may be stopped: nothing has been written yet.
    QVERIFY(w->CancelButton->isEnabled());
    QVERIFY(session.titleCloseButton()->isEnabled());
    QVERIFY(!w->DiskComboBox->isEnabled());
    QVERIFY(w->ProcessLabel->isVisible());
    QVERIFY(w->ProcessLabel->movie() && w->ProcessLabel->movie()->state() == QMovie::Running);
}

void verifyFinished(ToolSession &session) {
    QCreateBootable *w = session.window();
    QVERIFY(w->label_2->isVisible());
    QCOMPARE(w->label_2->text(), kCompletedText);
    QVERIFY(w->progressBar->isVisible());
    QCOMPARE(w->progressBar->value(), 100);
    QVERIFY(w->CreateBootable->isVisible() && w->CreateBootable->isEnabled());
    QVERIFY(w->CancelButton->isEnabled());
    QVERIFY(session.titleCloseButton()->isEnabled());
    QVERIFY(w->DiskComboBox->isEnabled());
    QVERIFY(!w->ProcessLabel->isVisible());
    QVERIFY(!session.warning()->isVisible());
    QVERIFY(!session.info()->isVisible());
}

void verifyFailureDialog(ToolSession &session) {
    QCreateBootable *w = session.window();
    InfoDialogClass *info = session.info();
    QVERIFY(info->isVisible());
    QCOMPARE(info->label->text(),
             QStringLiteral("Boot Media has some components missing and has failed the "
                            "self-test."));
    QCOMPARE(info->label_2->text(),
             QStringLiteral("Click 'Recreate Boot Media' to restart process."));
    QVERIFY(info->RecreateButton->isVisible() && info->RecreateButton->isEnabled());
    QVERIFY(info->CancelButton->isVisible() && info->CancelButton->isEnabled());
    QVERIFY(w->label_2->text() != kCompletedText);
    QVERIFY(!w->CreateBootable->isVisible());
    QVERIFY(!w->CancelButton->isEnabled());
    QVERIFY(!session.titleCloseButton()->isEnabled());
    QVERIFY(!w->DiskComboBox->isEnabled());
    QVERIFY(!w->ProcessLabel->isVisible());
}

} // namespace windowstates
