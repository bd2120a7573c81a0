#include "dialogs/FocusRing.h"

#include "app/AppContext.h"
#include "dialogs/ScaledLayout.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

FocusRing::FocusRing(QWidget *window) : QWidget(window) {
    setObjectName(QStringLiteral("focusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    window->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *) { follow(); });
}

QColor FocusRing::colour() {
    return QColor(36, 112, 215);
}

int FocusRing::thickness(float scaleFactor) {
    return qMax(2, scaledValue(2, scaleFactor));
}

int FocusRing::gap(float scaleFactor) {
    return qMax(1, scaledValue(1, scaleFactor));
}

void FocusRing::follow() {
    QWidget *window = parentWidget();
    QWidget *target = window->isActiveWindow() ? window->focusWidget() : nullptr;
    if (target != m_target) {
        if (m_target)
            m_target->removeEventFilter(this);
        m_target = target;
        if (m_target)
            m_target->installEventFilter(this);
    }
    if (!m_target || !m_target->isVisible() || !m_target->isEnabled()) {
        hide();
        return;
    }
    // Around the control where the window has room; a control at the
    // window's edge (the title strip's close button) gets it just inside.
    const float scale = AppContext::scaleFactor();
    const int out = gap(scale) + thickness(scale);
    const QRect control(m_target->mapTo(window, QPoint(0, 0)), m_target->size());
    setGeometry(control.adjusted(-out, -out, out, out).intersected(window->rect()));
    raise();
    show();
    update();
}

bool FocusRing::eventFilter(QObject *, QEvent *event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::EnabledChange:
    case QEvent::ActivationChange:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        follow();
        break;
    default:
        break;
    }
    return false;
}

void FocusRing::paintEvent(QPaintEvent *) {
    const int width = thickness(AppContext::scaleFactor());
    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour());
    const QRect all = rect();
    // Four bands rather than a stroked rectangle: crisp at every scale.
    painter.drawRect(all.left(), all.top(), all.width(), width);
    painter.drawRect(all.left(), all.bottom() - width + 1, all.width(), width);
    painter.drawRect(all.left(), all.top(), width, all.height());
    painter.drawRect(all.right() - width + 1, all.top(), width, all.height());
}
