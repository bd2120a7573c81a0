#include "support/WindowStates.h"

#include "support/ToolSession.h"

#include <QtTest>

namespace windowstates {

namespace {

QString state(const char *list, const char *create, const char *leave, const char *status,
              const char *progress, const char *animation, const char *failure) {
    return QStringLiteral("list %1 | create %2 | leave %3 | status %4 | progress %5 | "
                          "animation %6 | confirm hidden | failure %7")
        .arg(list, create, leave, status, progress, animation, failure);
}

} // namespace

void verifyIdle(ToolSession &session, const QStringList &drives, const QList<QVariant> &numbers) {
    QCOMPARE(session.driveTexts(), drives);
    QCOMPARE(session.driveNumbers(), numbers);
    QCOMPARE(session.window()->DiskComboBox->currentIndex(), 0);
    QCOMPARE(session.describe(),
             state("on", "shown,on", "on", "hidden", "hidden", "shown", "hidden"));
}

void verifyBuilding(ToolSession &session) {
    // The download may be stopped: nothing has been written yet.
    QCOMPARE(session.describe(),
             state("off", "hidden,off", "on", "shown", "shown", "shown,running", "hidden"));
    QCOMPARE(session.window()->label_2->text(), kStartedText);
    QCOMPARE(session.window()->progressBar->value(), 0);
}

void verifyFinished(ToolSession &session) {
    QCOMPARE(session.describe(),
             state("on", "shown,on", "on", "shown", "shown", "hidden", "hidden"));
    QCOMPARE(session.window()->label_2->text(), kCompletedText);
    QCOMPARE(session.window()->progressBar->value(), 100);
}

void verifyFailureDialog(ToolSession &session) {
    // Every way on goes through the dialog; nothing claims success.
    QCOMPARE(session.describe().section(QLatin1String(" | status"), 0, 0),
             QStringLiteral("list off | create hidden,off | leave off"));
    QVERIFY(session.describe().endsWith(QLatin1String("failure shown")));
    QVERIFY(!session.window()->ProcessLabel->isVisible());
    QVERIFY(session.window()->label_2->text() != kCompletedText);
    InfoDialogClass *info = session.info();
    QCOMPARE(info->label->text(),
             QStringLiteral("Boot Media has some components missing and has failed the "
                            "self-test."));
    QVERIFY(info->RecreateButton->isVisible() && info->RecreateButton->isEnabled());
    QVERIFY(info->CancelButton->isVisible() && info->CancelButton->isEnabled());
}

} // namespace windowstates
