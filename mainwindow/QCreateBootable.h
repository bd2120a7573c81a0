// The tool's main window.
#pragma once

#include <QDialog>

class QCreateBootable : public QDialog {
    Q_OBJECT

public:
    explicit QCreateBootable(QWidget *parent = nullptr);
};
