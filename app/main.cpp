#include "frmGoldbachQt.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    frmGoldbachQt window;
    window.show();
    return QApplication::exec();
}
