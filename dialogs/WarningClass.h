// The confirmation dialog. The main window fills its title and message, shows
// it centred over itself and connects its two buttons to its own slots; the
// dialog decides nothing by itself.
#pragma once

#include "dialogs/ScaledLayout.h"
#include "ui_WarningClass.h"

#include <QDialog>
#include <QPoint>

class WarningClass : public QDialog, public Ui::WarningDlg {
    Q_OBJECT

public:
    explicit WarningClass(QWidget *parent = nullptr);

    // Fixed size and position of every child for the screen's scale factor.
    void ApplyScaledLayout();
    // Undoes the main window's no-connection notice: both buttons, with the
    // form's own texts and font.
    void showConfirmationButtons();
    // The drive the confirmation is for, on its own line (shortened in the
    // middle if it must be; screen readers get it whole); empty: no line.
    void showDrive(const QString &text);

private slots:
    void OnOk();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QPoint dragOffset;
    BaseLayout baseLayout;
};
