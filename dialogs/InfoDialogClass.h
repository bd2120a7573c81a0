// The self-test failure dialog: the downloaded boot image was too small. It
// offers to recreate the boot media or to leave the tool; the main window
// connects both buttons to its own slots.
#pragma once

#include "dialogs/ScaledLayout.h"
#include "ui_InfoDialogClass.h"

#include <QDialog>
#include <QPoint>

class InfoDialogClass : public QDialog, public Ui::InfoDialog {
    Q_OBJECT

public:
    explicit InfoDialogClass(QWidget *parent = nullptr);

    // Fixed size and position of every child for the screen's scale factor
    // and the interface language.
    void ApplyScaledLayout();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setMessageTexts();

    QPoint dragOffset;
    BaseLayout baseLayout;
};
