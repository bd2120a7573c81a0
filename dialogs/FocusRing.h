// The keyboard focus as the three windows show it: a ring in the blue of
// their buttons around whichever control has the focus. The skinned buttons
// and the title strip's close button draw no focus of their own, so without
// it a keyboard user could not tell where the next Space would go.
#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

class FocusRing : public QWidget {
public:
    // Becomes a child of window and follows the focus inside it for as long
    // as the window is the active one.
    explicit FocusRing(QWidget *window);

    static QColor colour(); // the buttons' blue, 36, 112, 215
    // Ring thickness and its gap to the control, in pixels, for the scale.
    static int thickness(float scaleFactor);
    static int gap(float scaleFactor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void follow();

    QPointer<QWidget> m_target;
};
