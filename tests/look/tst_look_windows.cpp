// The three windows as a user meets them at every screen class and in the
// languages with the widest and the narrowest layouts: fixed, frameless,
// scaled as a whole, nothing outside its window, every picture present,
// disabled buttons that look disabled, the keyboard focus that shows,
// and dragging only by the title strip. The keys each window takes are
// pressed in the keyboard-only build (tests/a11y).
#include "app/AppContext.h"
#include "app/LanguageSelection.h"
#include "app/ScreenScale.h"
#include "dialogs/InfoDialogClass.h"
#include "dialogs/TitleDrag.h"
#include "dialogs/WarningClass.h"
#include "mainwindow/QCreateBootable.h"
#include "sim/platform/SimRegistry.h"
#include "support/TestHost.h"
#include "support/ToolSession.h"

#include <QApplication>
#include <QMouseEvent>
#include <QtTest>

#include <cmath>
#include <memory>

Q_DECLARE_METATYPE(UiLanguage)

namespace {

// A fresh host with the screen dpi and interface language the test needs,
// made the host of this process; the scale factor and the language stored
// the way start-up stores them.
std::unique_ptr<TestHost> lookHost(int dpi, UiLanguage language) {
    simhost::HostSpec setup = simhost::sampleHostSpec();
    setup.dpi = dpi;
    auto host = std::make_unique<TestHost>(setup);
    fixHostIdentity();
    simhost::setRegistryValue(host->root(), AppContext::hostSettingsKey(),
                              QStringLiteral("LanguageType"), static_cast<int>(language));
    selectLanguageFromHost();
    probeScreenScale();
    return host;
}

// The main window first: it takes its drop-down list's popup with it.
void deleteWindows() {
    while (auto *window = onlyTopLevel<QCreateBootable>())
        delete window;
    qDeleteAll(QApplication::topLevelWidgets());
}

// The sizes of the three windows, for comparing one scale with another.
QList<QSize> windowSizes(QCreateBootable &window) {
    return {window.size(), onlyTopLevel<WarningClass>()->size(),
            onlyTopLevel<InfoDialogClass>()->size()};
}

// Every named widget lies inside its parent, and every picture a style sheet
// asks for is in the bundle.
void checkWindow(QWidget *window) {
    QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(window->minimumSize(), window->size());
    QCOMPARE(window->maximumSize(), window->size());
    static const QRegularExpression url(QStringLiteral("url\\(([^)]*)\\)"));
    const QList<QWidget *> children = window->findChildren<QWidget *>();
    for (QWidget *child : children) {
        const QString name = child->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        // Two pixels of slack: the Chinese status line's transparent edge
        // reaches a pixel past the frame, two at twice the size.
        QVERIFY2(child->parentWidget()->rect().adjusted(-2, -2, 2, 2).contains(child->geometry()),
                 qPrintable(QStringLiteral("%1 %2").arg(window->objectName(), name)));
        for (auto pictures = url.globalMatch(child->styleSheet()); pictures.hasNext();) {
            const QString path = pictures.next().captured(1);
            QVERIFY2(QFile::exists(path), qPrintable(name + QLatin1Char(' ') + path));
        }
    }
}

// Presses the left button at row y and moves by (40, 30); true when the
// window followed the cursor.
bool dragsFromRow(QWidget *window, int y) {
    window->move(200, 150);
    const QPoint start = window->pos();
    const QPoint press(60, y);
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, window->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(window, &event);
    };
    send(QEvent::MouseButtonPress, press, Qt::LeftButton);
    send(QEvent::MouseMove, press + QPoint(40, 30), Qt::NoButton);
    const bool moved = window->pos() == start + QPoint(40, 30);
    send(QEvent::MouseButtonRelease, press + QPoint(40, 30), Qt::LeftButton);
    return moved;
}

// WCAG's contrast ratio of two colours, 1 to 21.
double contrast(QRgb a, QRgb b) {
    const auto luminance = [](QRgb c) {
        const auto channel = [](int v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
    };
    const double x = luminance(a), y = luminance(b);
    return (qMax(x, y) + 0.05) / (qMin(x, y) + 0.05);
}

// Every control the keyboard reaches shows that it has the focus: over the
// few pixels left of it at its middle row, at least 3:1 somewhere between
// the window with the focus on it and with the focus elsewhere.
void verifyFocusShows(QCreateBootable &window) {
    window.DiskComboBox->addItem(QStringLiteral("Alpha USB Device"), 1);
    window.DiskComboBox->setEnabled(true);
    window.CreateBootable->setEnabled(true);
    for (QWidget *shown :
         {static_cast<QWidget *>(&window), static_cast<QWidget *>(onlyTopLevel<WarningClass>()),
          static_cast<QWidget *>(onlyTopLevel<InfoDialogClass>())}) {
        shown->show();
        shown->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(shown));
        QList<QWidget *> controls;
        for (QWidget *child : shown->findChildren<QWidget *>())
            if ((child->focusPolicy() & Qt::TabFocus) && child->isVisible() && child->isEnabled())
                controls.append(child);
        QVERIFY(controls.size() >= 2);
        for (QWidget *control : controls) {
            const QPoint middle = control->mapTo(shown, QPoint(0, control->height() / 2));
            QImage focused[2];
            for (QWidget *focus : {control, controls.at(controls.first() == control ? 1 : 0)}) {
                focus->setFocus();
                QApplication::processEvents();
                focused[focus != control] = shown->grab().toImage();
            }
            double seen = 1;
            for (int x = middle.x() - 1; x >= qMax(0, middle.x() - 8); --x)
                seen = qMax(seen, contrast(focused[0].pixel(x, middle.y()),
                                           focused[1].pixel(x, middle.y())));
            QVERIFY2(seen >= 3.0, qPrintable(QStringLiteral("%1 %2: %3")
                                                 .arg(shown->objectName(), control->objectName())
                                                 .arg(seen)));
        }
        shown->hide();
    }
}

} // namespace

class TestLookWindows : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        titledrag::release();
        deleteWindows();
    }

    void windowsAtEveryScale_data() {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<UiLanguage>("language");
        for (int dpi : {72, 96, 120, 144, 192})
            for (UiLanguage language : {UiLanguage::EN, UiLanguage::DE, UiLanguage::CN})
                QTest::addRow("%d %d", dpi, static_cast<int>(language)) << dpi << language;
    }

    void windowsAtEveryScale() {
        QFETCH(int, dpi);
        QFETCH(UiLanguage, language);
        QList<QSize> base;
        {
            const auto host = lookHost(96, language);
            base = windowSizes(*new QCreateBootable);
            deleteWindows();
        }
        const auto host = lookHost(dpi, language);
        QCreateBootable window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Each window grows with the screen as a whole, never by parts.
        const QList<QSize> sizes = windowSizes(window);
        for (int i = 0; i < sizes.size(); ++i) {
            const QSizeF expected = QSizeF(base.at(i)) * dpi / 96.0;
            QVERIFY2(qAbs(sizes.at(i).width() - expected.width()) <= 1 &&
                         qAbs(sizes.at(i).height() - expected.height()) <= 1,
                     qPrintable(QStringLiteral("window %1").arg(i)));
        }
        checkWindow(&window);
        checkWindow(onlyTopLevel<WarningClass>());
        checkWindow(onlyTopLevel<InfoDialogClass>());

        // A button that cannot be clicked must not look like one that can.
        auto *close = window.label_3->findChild<QPushButton *>();
        QCOMPARE(close->geometry().right(), window.label_3->width() - 1);
        for (QPushButton *button : {window.CreateBootable, window.CancelButton, close}) {
            if (button == close && dpi < 96)
                continue; // below 96 dpi it has no picture in any state
            const QImage enabled = button->grab().toImage();
            button->setEnabled(false);
            QVERIFY2(enabled != button->grab().toImage(), qPrintable(button->objectName()));
            button->setEnabled(true);
        }
        if (language == UiLanguage::EN && dpi >= 96 && dpi <= 144)
            verifyFocusShows(window);
    }

    // The main window's strip keeps 27 fixed rows; the failure dialog's scales.
    void dragOnlyByTheTitleStrip() {
        for (int dpi : {96, 144}) {
            const auto host = lookHost(dpi, UiLanguage::EN);
            QWidget *window = new QCreateBootable, *info = onlyTopLevel<InfoDialogClass>();
            for (const auto &[shown, lastRow] :
                 {qMakePair(window, 26), qMakePair(info, dpi == 96 ? 26 : 39)}) {
                shown->show();
                QVERIFY(QTest::qWaitForWindowExposed(shown));
                QVERIFY(dragsFromRow(shown, lastRow));
                QVERIFY(!dragsFromRow(shown, lastRow + 1));
            }
            deleteWindows();
        }
    }
};

QTEST_MAIN(TestLookWindows)
#include "tst_look_windows.moc"
