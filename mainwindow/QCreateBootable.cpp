#include "mainwindow/QCreateBootable.h"

#include "app/AppContext.h"
#include "app/ScreenScale.h"

QCreateBootable::QCreateBootable(QWidget *parent) : QDialog(parent)
{
    probeScreenScale();
    storeSystemDirectory();
}
