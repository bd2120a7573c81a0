// The three windows as built: form, title strip, palettes, fonts, frameless
// flag, pictures and style sheets per screen class, scaled geometry per
// language, dragging by the title strip, and the keys each window takes.
#include "LookHost.h"
#include "dialogs/InfoDialogClass.h"
#include "dialogs/LookStyles.h"
#include "dialogs/TitleDrag.h"
#include "dialogs/WarningClass.h"
#include "mainwindow/QCreateBootable.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(UiLanguage)
Q_DECLARE_METATYPE(DpiClass)

namespace {

using Rects = QVector<QPair<QString, QRect>>;

template <typename T> T *topLevel() {
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *t = qobject_cast<T *>(w))
            return t;
    }
    return nullptr;
}

QPushButton *titleCloseButtonOf(QCreateBootable &window) {
    return window.label_3->findChild<QPushButton *>();
}

QLabel *titleTextOf(QCreateBootable &window) {
    return window.label_3->findChild<QLabel *>();
}

void checkGeometry(QWidget *window, const QSize &size, const Rects &children) {
    QCOMPARE(window->size(), size);
    QCOMPARE(window->minimumSize(), size);
    QCOMPARE(window->maximumSize(), size);
    for (const auto &child : children) {
        auto *w = window->findChild<QWidget *>(child.first);
        QVERIFY2(w, qPrintable(child.first));
        QCOMPARE(w->geometry(), child.second);
        QCOMPARE(w->maximumSize(), child.second.size());
    }
}

bool showsPicture(const QLabel *label, const QString &path) {
    const QPixmap pixmap = label->pixmap(Qt::ReturnByValue);
    // Both go through a pixmap, so both carry the same premultiplied pixels.
    const QImage expected = QPixmap(path).toImage();
    return !pixmap.isNull() && !expected.isNull() && pixmap.toImage() == expected;
}

void checkTitleStripLook(QWidget *strip) {
    QVERIFY(strip->autoFillBackground());
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        QCOMPARE(strip->palette().color(group, QPalette::Window), QColor(237, 240, 243));
        QCOMPARE(strip->palette().color(group, QPalette::WindowText), QColor(0, 0, 0));
    }
    QCOMPARE(strip->font().family(), QStringLiteral("Segoe UI SemiBold"));
    QCOMPARE(strip->font().pointSize(), 10);
}

void checkBodyLook(QWidget *window) {
    QVERIFY(window->isWindow());
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!(window->windowFlags() & (Qt::WindowTitleHint | Qt::WindowSystemMenuHint)));
    QVERIFY(window->autoFillBackground());
    QCOMPARE(window->palette().color(QPalette::Window), QColor(Qt::white));
}

void checkBodyFont(QWidget *w) {
    QCOMPARE(w->font().family(), QStringLiteral("Segoe UI"));
    QCOMPARE(w->font().pointSize(), 10);
    QVERIFY(!w->font().italic());
}

// A mouse event as the window receives it, at a point of the window.
void sendMouse(QWidget *window, QEvent::Type type, const QPoint &local, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, local, window->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(window, &event);
}

// Presses the left button at row y, moves the cursor by (40, 30) with the
// button held, releases; true when the window followed the cursor.
bool dragsFromRow(QWidget *window, int y) {
    window->move(200, 150);
    const QPoint start = window->pos();
    const QPoint press(60, y);
    sendMouse(window, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    sendMouse(window, QEvent::MouseMove, press + QPoint(40, 30), Qt::NoButton, Qt::LeftButton);
    const bool moved = window->pos() == start + QPoint(40, 30);
    const bool stayed = window->pos() == start;
    sendMouse(window, QEvent::MouseButtonRelease, press + QPoint(40, 30), Qt::LeftButton,
              Qt::NoButton);
    return moved && !stayed;
}

} // namespace

class TestLookWindows : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void mainWindowForm();
    void mainWindowLook_data();
    void mainWindowLook();
    void mainWindowGeometry_data();
    void mainWindowGeometry();
    void mainWindowDeclaration();

    void warningDialogLook_data();
    void warningDialogLook();
    void warningDialogIsTheSameInEveryLanguage();
    void warningDialogLanguageChange();

    void infoDialogLook_data();
    void infoDialogLook();
    void infoDialogGeometry_data();
    void infoDialogGeometry();
    void infoDialogFollowsALanguageChange();

    void dragOnlyByTheTitleStrip();
    void dragLimitOfTheFailureDialogScales();
    void dragNeedsTheLeftButtonAndOneFlag();

    void escapeAndReturn();
};

void TestLookWindows::cleanup() {
    titledrag::release();
    qDeleteAll(QApplication::topLevelWidgets());
}

void TestLookWindows::mainWindowForm() {
    LookHost host(96, UiLanguage::EN);
    QVERIFY(host.isValid());
    QCreateBootable window;

    QCOMPARE(window.objectName(), QStringLiteral("Dialog"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Create Bootable Media"));
    QCOMPARE(window.frame->parentWidget(), &window);
    QCOMPARE(window.frame->frameShape(), QFrame::Box);
    QCOMPARE(window.frame->frameShadow(), QFrame::Raised);
    for (QWidget *child :
         {static_cast<QWidget *>(window.label_3), static_cast<QWidget *>(window.label),
          static_cast<QWidget *>(window.DiskComboBox), static_cast<QWidget *>(window.ImageLabel),
          static_cast<QWidget *>(window.label_2), static_cast<QWidget *>(window.progressBar),
          static_cast<QWidget *>(window.CreateBootable),
          static_cast<QWidget *>(window.CancelButton), static_cast<QWidget *>(window.ProcessLabel)})
        QCOMPARE(child->parentWidget(), window.frame);

    QCOMPARE(window.label->text(), QStringLiteral("Select the USB Drive to create recovery drive"));
    QCOMPARE(window.label_2->text(), QStringLiteral("Creating recovery drive..."));
    QCOMPARE(window.CreateBootable->text(), QStringLiteral("Create Recovery Drive"));
    QCOMPARE(window.CancelButton->text(), QStringLiteral("Cancel"));
    QVERIFY(window.label_3->text().isEmpty());
    QVERIFY(window.ProcessLabel->text().isEmpty());
    QVERIFY(window.ProcessLabel->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(window.label_2->wordWrap());
    QVERIFY(window.CreateBootable->isFlat());
    QVERIFY(window.CancelButton->isFlat());
    checkBodyFont(window.ProcessLabel);

    // Before the first build: no status line, no progress bar, 0 to 100 in
    // whole percent.
    QVERIFY(window.label_2->isHidden());
    QVERIFY(window.progressBar->isHidden());
    QCOMPARE(window.progressBar->minimum(), 0);
    QCOMPARE(window.progressBar->maximum(), 100);
    QCOMPARE(window.progressBar->value(), 0);
    QCOMPARE(window.progressBar->format(), QStringLiteral("%p%"));
    window.progressBar->setValue(37);
    QCOMPARE(window.progressBar->text(), QStringLiteral("37%"));

    // A language change renews the form's texts; the title stays in the
    // strip's own label and is not drawn a second time by label_3.
    window.label->setText(QStringLiteral("x"));
    titleTextOf(window)->setText(QStringLiteral("x"));
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&window, &change);
    QCOMPARE(window.label->text(), QStringLiteral("Select the USB Drive to create recovery drive"));
    QCOMPARE(titleTextOf(window)->text(), QStringLiteral("Create Recovery Drive"));
    QVERIFY(window.label_3->text().isEmpty());

    // The dialogs exist, hidden, as windows of their own.
    auto *warning = topLevel<WarningClass>();
    auto *info = topLevel<InfoDialogClass>();
    QVERIFY(warning && info);
    QVERIFY(warning->parent() == nullptr && info->parent() == nullptr);
    QVERIFY(!warning->isVisible() && !info->isVisible());
}

void TestLookWindows::mainWindowLook_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("closeSide");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("createStyle");
    QTest::addColumn<QString>("cancelStyle");
    QTest::addColumn<QString>("closeStyle");

    const QString white = QString::fromLatin1(lookstyle::kWhiteTextRule);
    const struct {
        const char *name;
        int dpi;
        int side;
        DpiClass dpiClass;
    } rows[] = {{"96", 96, 26, DpiClass::Dpi96},
                {"120", 120, 32, DpiClass::Dpi120},
                {"144", 144, 39, DpiClass::Dpi144},
                {"168", 168, 45, DpiClass::Dpi144},
                {"192", 192, 52, DpiClass::Dpi144}};
    for (const auto &r : rows) {
        QTest::newRow(r.name) << r.dpi << r.side << lookstyle::picture(r.dpiClass, "Bootable.png")
                              << lookstyle::buttonNormal(r.dpiClass) + white
                              << lookstyle::bigButtonThreeState(r.dpiClass)
                              << lookstyle::titleClose(r.dpiClass);
    }
    // Below 96 dpi no class applies: the form's picture stays and only the
    // text rule remains of the class-dependent styles.
    QTest::newRow("72") << 72 << 19 << QStringLiteral(":/images/Bootable.png") << white << QString()
                        << QString();
}

void TestLookWindows::mainWindowLook() {
    QFETCH(int, dpi);
    QFETCH(int, closeSide);
    QFETCH(QString, picture);
    QFETCH(QString, createStyle);
    QFETCH(QString, cancelStyle);
    QFETCH(QString, closeStyle);

    LookHost host(dpi, UiLanguage::EN);
    QCreateBootable window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    checkBodyLook(&window);
    checkTitleStripLook(window.label_3);
    for (QWidget *w :
         {static_cast<QWidget *>(window.CancelButton), static_cast<QWidget *>(window.label),
          static_cast<QWidget *>(window.label_2), static_cast<QWidget *>(window.CreateBootable),
          static_cast<QWidget *>(window.DiskComboBox), static_cast<QWidget *>(window.progressBar)})
        checkBodyFont(w);

    // Title strip: the title fills it, the close button sits at its right end.
    QLabel *title = titleTextOf(window);
    QPushButton *close = titleCloseButtonOf(window);
    QVERIFY(title && close);
    QCOMPARE(title->text(), QStringLiteral("Create Recovery Drive"));
    QCOMPARE(title->alignment(), Qt::AlignCenter);
    QCOMPARE(title->font().family(), QStringLiteral("Segoe UI SemiBold"));
    auto *strip = qobject_cast<QHBoxLayout *>(window.label_3->layout());
    QVERIFY(strip);
    QCOMPARE(strip->spacing(), 0);
    QCOMPARE(strip->contentsMargins(), QMargins());
    QCOMPARE(strip->indexOf(title), 0);
    QCOMPARE(strip->indexOf(close), 1);
    QCOMPARE(strip->stretch(0), 1);
    QCOMPARE(strip->stretch(1), 0);
    QCOMPARE(close->size(), QSize(closeSide, closeSide));
    QCOMPARE(close->geometry().right(), window.label_3->width() - 1);
    QCOMPARE(title->width(), window.label_3->width() - closeSide);
    QVERIFY(close->text().isEmpty());
    QVERIFY(close->isFlat());

    // The given rules come first; what follows only adds the disabled look.
    QVERIFY(window.CreateBootable->styleSheet().startsWith(createStyle));
    QVERIFY(window.CancelButton->styleSheet().startsWith(cancelStyle));
    QVERIFY(close->styleSheet().startsWith(closeStyle));
    QVERIFY(showsPicture(window.ImageLabel, picture));

    // A button that cannot be clicked must not look like one that can.
    for (QPushButton *button : {window.CreateBootable, window.CancelButton, close}) {
        if (button == close && dpi < 96)
            continue; // below 96 dpi it has no picture in any state
        const QImage enabled = button->grab().toImage();
        button->setEnabled(false);
        const QImage disabled = button->grab().toImage();
        button->setEnabled(true);
        QVERIFY2(enabled != disabled, qPrintable(button->objectName()));
    }
}

void TestLookWindows::mainWindowGeometry_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<Rects>("children");

    QTest::newRow("EN 1.0") << 96 << UiLanguage::EN << QSize(530, 206)
                            << Rects{{"frame", {0, 0, 530, 206}},
                                     {"CancelButton", {408, 167, 101, 23}},
                                     {"CreateBootable", {242, 167, 145, 23}},
                                     {"DiskComboBox", {100, 66, 351, 22}},
                                     {"ImageLabel", {20, 51, 64, 64}},
                                     {"label", {100, 46, 420, 16}},
                                     {"label_2", {100, 96, 430, 35}},
                                     {"label_3", {2, 2, 527, 26}},
                                     {"progressBar", {100, 130, 388, 23}},
                                     {"ProcessLabel", {485, 127, 30, 30}}};
    QTest::newRow("EN 1.25") << 120 << UiLanguage::EN << QSize(662, 257)
                             << Rects{{"frame", {0, 0, 662, 257}},
                                      {"CancelButton", {510, 208, 126, 28}},
                                      {"CreateBootable", {302, 208, 181, 28}},
                                      {"DiskComboBox", {125, 82, 438, 27}},
                                      {"ImageLabel", {25, 63, 80, 80}},
                                      {"label", {125, 57, 525, 20}},
                                      {"label_2", {125, 120, 537, 43}},
                                      {"label_3", {2, 2, 658, 32}},
                                      {"progressBar", {125, 162, 485, 28}},
                                      {"ProcessLabel", {606, 158, 37, 37}}};
    QTest::newRow("EN 1.5") << 144 << UiLanguage::EN << QSize(795, 309)
                            << Rects{{"frame", {0, 0, 795, 309}},
                                     {"CancelButton", {612, 250, 151, 34}},
                                     {"CreateBootable", {363, 250, 217, 34}},
                                     {"DiskComboBox", {150, 99, 526, 33}},
                                     {"ImageLabel", {30, 76, 96, 96}},
                                     {"label", {150, 69, 630, 24}},
                                     {"label_2", {150, 144, 645, 52}},
                                     {"label_3", {3, 3, 790, 39}},
                                     {"progressBar", {150, 195, 582, 34}},
                                     {"ProcessLabel", {727, 190, 45, 45}}};
    QTest::newRow("DE 1.0") << 96 << UiLanguage::DE << QSize(560, 206)
                            << Rects{{"frame", {0, 0, 560, 206}},
                                     {"CancelButton", {445, 167, 101, 23}},
                                     {"CreateBootable", {210, 167, 223, 23}},
                                     {"label", {100, 46, 450, 16}},
                                     {"label_3", {2, 2, 557, 26}}};
    QTest::newRow("ES 1.0") << 96 << UiLanguage::ES << QSize(550, 206)
                            << Rects{{"label_2", {100, 92, 421, 39}},
                                     {"progressBar", {100, 135, 388, 23}},
                                     {"ProcessLabel", {485, 132, 30, 30}}};
    QTest::newRow("CN 1.0") << 96 << UiLanguage::CN << QSize(520, 206)
                            << Rects{{"CreateBootable", {233, 167, 165, 23}},
                                     {"CancelButton", {408, 167, 101, 23}},
                                     {"label_2", {100, 96, 421, 32}}};
    QTest::newRow("DE 1.5") << 144 << UiLanguage::DE << QSize(840, 309)
                            << Rects{{"CancelButton", {667, 250, 151, 34}},
                                     {"CreateBootable", {315, 250, 334, 34}},
                                     {"label_3", {3, 3, 835, 39}}};
    QTest::newRow("EN 0.75") << 72 << UiLanguage::EN << QSize(397, 154)
                             << Rects{{"label_3", {1, 1, 395, 19}},
                                      {"CreateBootable", {181, 125, 108, 17}}};
    QTest::newRow("EN 1.75") << 168 << UiLanguage::EN << QSize(927, 360)
                             << Rects{{"label_3", {3, 3, 922, 45}},
                                      {"ProcessLabel", {848, 222, 52, 52}}};
    QTest::newRow("EN 2.0") << 192 << UiLanguage::EN << QSize(1060, 412)
                            << Rects{{"label_3", {4, 4, 1054, 52}},
                                     {"progressBar", {200, 260, 776, 46}}};
    // 80 dpi: 528 x 0.8333333 rounds to exactly 440 in single precision.
    QTest::newRow("KO 80 dpi") << 80 << UiLanguage::KO << QSize(440, 171)
                               << Rects{{"frame", {0, 0, 440, 171}}};
}

void TestLookWindows::mainWindowGeometry() {
    QFETCH(int, dpi);
    QFETCH(UiLanguage, language);
    QFETCH(QSize, size);
    QFETCH(Rects, children);

    LookHost host(dpi, language);
    QCreateBootable window;
    checkGeometry(&window, size, children);
}

void TestLookWindows::mainWindowDeclaration() {
    const QMetaObject &meta = QCreateBootable::staticMetaObject;
    QStringList methods;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        methods << QString::fromLatin1(meta.method(i).methodSignature());
    QCOMPARE(methods,
             (QStringList{"DriveArrived()", "DriveRemoved()", "CreateBootableStart()",
                          "OnPrintRunningProcess(QString)", "OnProcessComplete()",
                          "IncompleteFileDownload()", "OnStopgGifFile()", "OnSetProgressValue(int)",
                          "OnProcessStart()", "OnProcessCancel()", "OnCancel()", "USBConnected()",
                          "USBRemove()", "OnBuildFailed(int)"}));
    QCOMPARE(meta.method(meta.methodOffset()).methodType(), QMetaMethod::Signal);
    QCOMPARE(meta.method(meta.methodOffset() + 2).access(), QMetaMethod::Private);

    LookHost host(96, UiLanguage::EN);
    QCreateBootable window;
    QCOMPARE(window.qt_metacast("QCreateBootable"), static_cast<void *>(&window));
    QCOMPARE(window.qt_metacast("Ui::Dialog"),
             static_cast<void *>(static_cast<Ui::Dialog *>(&window)));

    const QMetaObject &warning = WarningClass::staticMetaObject;
    QCOMPARE(warning.methodCount() - warning.methodOffset(), 1);
    QCOMPARE(warning.method(warning.methodOffset()).methodSignature(), QByteArray("OnOk()"));
    const QMetaObject &info = InfoDialogClass::staticMetaObject;
    QCOMPARE(info.methodCount(), info.methodOffset());
    auto *infoDialog = topLevel<InfoDialogClass>();
    QCOMPARE(infoDialog->qt_metacast("Ui::InfoDialog"),
             static_cast<void *>(static_cast<Ui::InfoDialog *>(infoDialog)));
}

void TestLookWindows::warningDialogLook_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<Rects>("children");

    QTest::newRow("1.0") << 96 << ":/images/img_Warning.png" << QSize(489, 172)
                         << Rects{{"frame", {0, 0, 489, 172}},
                                  {"HeaderLabel", {3, 3, 484, 26}},
                                  {"ImageLabel", {15, 54, 66, 66}},
                                  {"InfoLabel", {95, 50, 381, 80}},
                                  {"OkButton", {252, 137, 101, 23}},
                                  {"CancelButton", {375, 137, 101, 23}}};
    QTest::newRow("1.25") << 120 << ":/images/120-DPI/img_Warning.png" << QSize(611, 215)
                          << Rects{{"frame", {0, 0, 611, 215}},
                                   {"HeaderLabel", {3, 3, 605, 32}},
                                   {"ImageLabel", {18, 67, 82, 82}},
                                   {"InfoLabel", {118, 62, 476, 100}},
                                   {"OkButton", {315, 171, 126, 28}},
                                   {"CancelButton", {468, 171, 126, 28}}};
    QTest::newRow("1.5") << 144 << ":/images/144-DPI/img_Warning.png" << QSize(733, 258)
                         << Rects{{"frame", {0, 0, 733, 258}},
                                  {"HeaderLabel", {4, 4, 727, 39}},
                                  {"ImageLabel", {22, 81, 99, 99}},
                                  {"InfoLabel", {142, 75, 571, 120}},
                                  {"OkButton", {378, 205, 151, 34}},
                                  {"CancelButton", {562, 205, 151, 34}}};
    QTest::newRow("2.0") << 192 << ":/images/144-DPI/img_Warning.png" << QSize(978, 344)
                         << Rects{{"HeaderLabel", {5, 5, 970, 52}}};
    QTest::newRow("0.75") << 72 << QString() << QSize(366, 129)
                          << Rects{{"HeaderLabel", {2, 2, 362, 19}}};
}

void TestLookWindows::warningDialogLook() {
    QFETCH(int, dpi);
    QFETCH(QString, picture);
    QFETCH(QSize, size);
    QFETCH(Rects, children);

    LookHost host(dpi, UiLanguage::EN);
    WarningClass dialog;
    checkGeometry(&dialog, size, children);
    checkBodyLook(&dialog);
    checkTitleStripLook(dialog.HeaderLabel);
    QCOMPARE(dialog.objectName(), QStringLiteral("WarningDlg"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Confirm Operation"));
    QCOMPARE(dialog.HeaderLabel->text(), QStringLiteral("Confirm Operation"));
    QCOMPARE(dialog.HeaderLabel->alignment(), Qt::AlignCenter);
    QVERIFY(dialog.InfoLabel->text().isEmpty());
    QVERIFY(dialog.InfoLabel->wordWrap());
    QCOMPARE(dialog.OkButton->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.CancelButton->text(), QStringLiteral("Cancel"));
    checkBodyFont(dialog.InfoLabel);
    checkBodyFont(dialog.OkButton);
    checkBodyFont(dialog.CancelButton);
    QCOMPARE(dialog.InfoLabel->styleSheet(), QStringLiteral("QLabel {color : #000000;}"));

    if (picture.isEmpty())
        QVERIFY(dialog.ImageLabel->pixmap(Qt::ReturnByValue).isNull());
    else
        QVERIFY(showsPicture(dialog.ImageLabel, picture));

    // Its buttons show the 96-dpi pictures at every scale.
    const QString buttons =
        lookstyle::buttonNormal(DpiClass::Dpi96) + QStringLiteral("QPushButton {color : #ffffff;}");
    QCOMPARE(dialog.OkButton->styleSheet(), buttons);
    QCOMPARE(dialog.CancelButton->styleSheet(), buttons);
}

void TestLookWindows::warningDialogIsTheSameInEveryLanguage() {
    for (UiLanguage language : {UiLanguage::DE, UiLanguage::ES, UiLanguage::JA, UiLanguage::CN}) {
        LookHost host(120, language);
        WarningClass dialog;
        QCOMPARE(dialog.size(), QSize(611, 215));
        QCOMPARE(dialog.InfoLabel->geometry(), QRect(118, 62, 476, 100));
    }
}

void TestLookWindows::warningDialogLanguageChange() {
    LookHost host(96, UiLanguage::EN);
    WarningClass dialog;
    // As the main window turns it into the connection notice.
    dialog.HeaderLabel->setText(QStringLiteral("No Internet connection"));
    dialog.InfoLabel->setText(QStringLiteral("Internet connection is required."));
    dialog.CancelButton->setText(QStringLiteral("OK"));
    dialog.CancelButton->setFixedSize(10, 10);

    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&dialog, &change);
    QCOMPARE(dialog.HeaderLabel->text(), QStringLiteral("Confirm Operation"));
    QVERIFY(dialog.InfoLabel->text().isEmpty());
    QCOMPARE(dialog.OkButton->text(), QStringLiteral("OK"));
    QCOMPARE(dialog.CancelButton->text(), QStringLiteral("Cancel"));
    QCOMPARE(dialog.CancelButton->geometry(), QRect(375, 137, 101, 23));
}

void TestLookWindows::infoDialogLook_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<DpiClass>("dpiClass");
    QTest::newRow("96") << 96 << ":/images/img_SelectRegion.png" << DpiClass::Dpi96;
    QTest::newRow("120") << 120 << ":/images/120-DPI/img_SelectRegion.png" << DpiClass::Dpi120;
    QTest::newRow("144") << 144 << ":/images/144-DPI/img_SelectRegion.png" << DpiClass::Dpi144;
    QTest::newRow("168") << 168 << ":/images/144-DPI/img_SelectRegion.png" << DpiClass::Dpi144;
    // No class: the form's picture stays.
    QTest::newRow("72") << 72 << ":/images/img_SelectRegion.png" << DpiClass::None;
}

void TestLookWindows::infoDialogLook() {
    QFETCH(int, dpi);
    QFETCH(QString, picture);
    QFETCH(DpiClass, dpiClass);

    LookHost host(dpi, UiLanguage::EN);
    InfoDialogClass dialog;
    checkBodyLook(&dialog);
    checkTitleStripLook(dialog.HeaderLabel);
    QCOMPARE(dialog.objectName(), QStringLiteral("InfoDialog"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("InfoDialog"));
    QCOMPARE(dialog.HeaderLabel->text(), QStringLiteral("Information"));
    QCOMPARE(dialog.HeaderLabel->alignment(), Qt::AlignCenter);
    QCOMPARE(
        dialog.label->text(),
        QStringLiteral("Boot Media has some components missing and has failed the self-test."));
    QCOMPARE(dialog.label_2->text(),
             QStringLiteral("Click 'Recreate Boot Media' to restart process."));
    QCOMPARE(dialog.RecreateButton->text(), QStringLiteral("Recreate Boot Media"));
    QCOMPARE(dialog.CancelButton->text(), QStringLiteral("Cancel"));
    checkBodyFont(dialog.label);
    checkBodyFont(dialog.label_2);
    for (QPushButton *button : {dialog.CancelButton, dialog.RecreateButton}) {
        QCOMPARE(button->font().family(), QStringLiteral("Segoe UI"));
        QCOMPARE(button->font().pointSize(), 9);
        QCOMPARE(button->font().weight(), int(QFont::Normal));
        QVERIFY(button->isFlat());
    }
    QVERIFY(dialog.ImageLbl->hasScaledContents());
    QVERIFY(showsPicture(dialog.ImageLbl, picture));
    QCOMPARE(dialog.CancelButton->styleSheet(),
             lookstyle::bigButtonFourState(dpiClass) + "QPushButton {color : #000000;}");
    QCOMPARE(dialog.RecreateButton->styleSheet(),
             lookstyle::buttonNormal(dpiClass) + "QPushButton {color : #ffffff;}");
}

void TestLookWindows::infoDialogGeometry_data() {
    QTest::addColumn<int>("dpi");
    QTest::addColumn<UiLanguage>("language");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<Rects>("children");

    QTest::newRow("EN 1.0") << 96 << UiLanguage::EN << QSize(430, 180)
                            << Rects{{"HeaderLabel", {2, 2, 427, 26}},
                                     {"frame", {0, 0, 430, 180}},
                                     {"ImageLbl", {5, 44, 67, 67}},
                                     {"label", {77, 43, 312, 40}},
                                     {"label_2", {77, 86, 311, 40}},
                                     {"CancelButton", {330, 134, 81, 26}},
                                     {"RecreateButton", {160, 134, 150, 26}}};
    QTest::newRow("EN 1.25") << 120 << UiLanguage::EN << QSize(537, 225)
                             << Rects{{"HeaderLabel", {2, 2, 533, 32}},
                                      {"frame", {0, 0, 537, 225}},
                                      {"ImageLbl", {6, 55, 83, 83}},
                                      {"label", {96, 53, 390, 50}},
                                      {"label_2", {96, 107, 388, 50}},
                                      {"CancelButton", {412, 167, 101, 32}},
                                      {"RecreateButton", {200, 167, 187, 32}}};
    QTest::newRow("EN 1.5") << 144 << UiLanguage::EN << QSize(645, 270)
                            << Rects{{"HeaderLabel", {3, 3, 640, 39}},
                                     {"frame", {0, 0, 645, 270}},
                                     {"ImageLbl", {7, 66, 100, 100}},
                                     {"label", {115, 64, 468, 60}},
                                     {"label_2", {115, 129, 466, 60}},
                                     {"CancelButton", {495, 201, 121, 39}},
                                     {"RecreateButton", {240, 201, 225, 39}}};
    QTest::newRow("CN 1.0") << 96 << UiLanguage::CN << QSize(430, 180)
                            << Rects{{"label", {77, 32, 312, 40}},
                                     {"label_2", {77, 80, 311, 40}},
                                     {"RecreateButton", {170, 134, 140, 26}}};
    QTest::newRow("DE 1.0") << 96 << UiLanguage::DE << QSize(430, 180)
                            << Rects{{"RecreateButton", {115, 134, 190, 26}}};
    QTest::newRow("ES 1.25") << 120 << UiLanguage::ES << QSize(537, 225)
                             << Rects{{"RecreateButton", {175, 167, 212, 32}}};
    QTest::newRow("EN 0.75") << 72 << UiLanguage::EN << QSize(322, 135)
                             << Rects{{"HeaderLabel", {1, 1, 320, 19}}};
    QTest::newRow("EN 2.0") << 192 << UiLanguage::EN << QSize(860, 360)
                            << Rects{{"RecreateButton", {320, 268, 300, 52}}};
}

void TestLookWindows::infoDialogGeometry() {
    QFETCH(int, dpi);
    QFETCH(UiLanguage, language);
    QFETCH(QSize, size);
    QFETCH(Rects, children);

    LookHost host(dpi, language);
    InfoDialogClass dialog;
    checkGeometry(&dialog, size, children);
}

void TestLookWindows::infoDialogFollowsALanguageChange() {
    LookHost host(96, UiLanguage::EN);
    InfoDialogClass dialog;
    QCOMPARE(dialog.RecreateButton->geometry(), QRect(160, 134, 150, 26));

    host.setLanguage(UiLanguage::CN);
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(&dialog, &change);
    QCOMPARE(dialog.RecreateButton->geometry(), QRect(170, 134, 140, 26));
    QCOMPARE(dialog.label->geometry(), QRect(77, 32, 312, 40));
    QCOMPARE(dialog.HeaderLabel->text(), QStringLiteral("Information"));
    QCOMPARE(dialog.label_2->text(),
             QStringLiteral("Click 'Recreate Boot Media' to restart process."));
    QCOMPARE(dialog.RecreateButton->text(), QStringLiteral("Recreate Boot Media"));
}

void TestLookWindows::dragOnlyByTheTitleStrip() {
    for (int dpi : {96, 144}) {
        LookHost host(dpi, UiLanguage::EN);
        QCreateBootable window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(dragsFromRow(&window, 26), "main window, row 26");
        QVERIFY2(!dragsFromRow(&window, 27), "main window, row 27");
        QVERIFY(!dragsFromRow(&window, 100));

        // The confirmation dialog uses the same fixed rows, even where its
        // scaled strip is taller.
        auto *warning = topLevel<WarningClass>();
        warning->show();
        QVERIFY(QTest::qWaitForWindowExposed(warning));
        QVERIFY(dragsFromRow(warning, 0));
        QVERIFY(dragsFromRow(warning, 26));
        QVERIFY(!dragsFromRow(warning, 27));
    }

    // A press on the title text reaches the window through the label.
    LookHost host(96, UiLanguage::EN);
    QCreateBootable window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::mousePress(titleTextOf(window), Qt::LeftButton, Qt::NoModifier, QPoint(40, 10));
    QVERIFY(titledrag::isDragging());
    QTest::mouseRelease(titleTextOf(window), Qt::LeftButton, Qt::NoModifier, QPoint(40, 10));
    QVERIFY(!titledrag::isDragging());
}

void TestLookWindows::dragLimitOfTheFailureDialogScales() {
    {
        LookHost host(144, UiLanguage::EN);
        InfoDialogClass dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dragsFromRow(&dialog, 39));
        QVERIFY(!dragsFromRow(&dialog, 40));
    }
    {
        LookHost host(96, UiLanguage::EN);
        InfoDialogClass dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dragsFromRow(&dialog, 26));
        QVERIFY(!dragsFromRow(&dialog, 27));
    }
    QVERIFY(titledrag::withinStrip(32, titledrag::StripHeight::Scaled, 1.25f));
    QVERIFY(!titledrag::withinStrip(33, titledrag::StripHeight::Scaled, 1.25f));
    QVERIFY(titledrag::withinStrip(26, titledrag::StripHeight::Fixed, 2.0f));
    QVERIFY(!titledrag::withinStrip(27, titledrag::StripHeight::Fixed, 2.0f));
}

void TestLookWindows::dragNeedsTheLeftButtonAndOneFlag() {
    LookHost host(96, UiLanguage::EN);
    QCreateBootable window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.move(200, 150);
    const QPoint start = window.pos();

    // Right button: no drag.
    sendMouse(&window, QEvent::MouseButtonPress, {60, 10}, Qt::RightButton, Qt::RightButton);
    QVERIFY(!titledrag::isDragging());
    sendMouse(&window, QEvent::MouseMove, {90, 40}, Qt::NoButton, Qt::RightButton);
    QCOMPARE(window.pos(), start);
    sendMouse(&window, QEvent::MouseButtonRelease, {90, 40}, Qt::RightButton, Qt::NoButton);

    // A left press, then a move with the left button no longer held.
    sendMouse(&window, QEvent::MouseButtonPress, {60, 10}, Qt::LeftButton, Qt::LeftButton);
    sendMouse(&window, QEvent::MouseMove, {90, 40}, Qt::NoButton, Qt::NoButton);
    QCOMPARE(window.pos(), start);

    // One flag for the process: a release in another window ends the drag
    // here too.
    auto *warning = topLevel<WarningClass>();
    sendMouse(warning, QEvent::MouseButtonRelease, {5, 5}, Qt::LeftButton, Qt::NoButton);
    QVERIFY(!titledrag::isDragging());
    sendMouse(&window, QEvent::MouseMove, {90, 40}, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(window.pos(), start);

    // A press on a push button is the button's own and starts no drag.
    QTest::mousePress(window.CancelButton, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(!titledrag::isDragging());
    QTest::mouseRelease(window.CancelButton, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
}

void TestLookWindows::escapeAndReturn() {
    LookHost host(96, UiLanguage::EN);
    QCreateBootable window;
    window.DiskComboBox->addItem(QStringLiteral("Generic Flash Disk USB Device"), 1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy createClicked(window.CreateBootable, &QPushButton::clicked);
    QSignalSpy cancelClicked(window.CancelButton, &QPushButton::clicked);

    // Main window: Escape leaves it open; Return in the drive list starts
    // nothing.
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(window.isVisible());
    window.DiskComboBox->setFocus();
    QTest::keyClick(window.DiskComboBox, Qt::Key_Return);
    QTest::keyClick(&window, Qt::Key_Enter);
    QVERIFY(window.isVisible());
    QCOMPARE(createClicked.count() + cancelClicked.count(), 0);

    // Confirmation dialog: Escape hides it without either button.
    auto *warning = topLevel<WarningClass>();
    QSignalSpy okClicked(warning->OkButton, &QPushButton::clicked);
    QSignalSpy warningCancel(warning->CancelButton, &QPushButton::clicked);
    warning->show();
    QTest::keyClick(warning, Qt::Key_Escape);
    QVERIFY(!warning->isVisible());
    QCOMPARE(okClicked.count() + warningCancel.count(), 0);
    warning->show();
    QTest::keyClick(warning, Qt::Key_Return);
    QCOMPARE(okClicked.count() + warningCancel.count(), 1);
    QVERIFY(warning->OkButton->isDefault() ? okClicked.count() == 1 : warningCancel.count() == 1);

    // Failure dialog: Escape would strand the user with a disabled main
    // window, so it stays; Return presses its default button.
    auto *info = topLevel<InfoDialogClass>();
    QSignalSpy recreateClicked(info->RecreateButton, &QPushButton::clicked);
    QSignalSpy infoCancel(info->CancelButton, &QPushButton::clicked);
    info->show();
    QTest::keyClick(info, Qt::Key_Escape);
    QVERIFY(info->isVisible());
    QCOMPARE(recreateClicked.count() + infoCancel.count(), 0);
    QTest::keyClick(info, Qt::Key_Return);
    QCOMPARE(recreateClicked.count() + infoCancel.count(), 1);
    QVERIFY(info->RecreateButton->isDefault() || info->CancelButton->isDefault());
}

QTEST_MAIN(TestLookWindows)
#include "tst_look_windows.moc"
