#include "frmGoldbachQt.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wendelkamm"));
    QApplication::setApplicationVersion(QStringLiteral(WENDELKAMM_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("wendelkamm"));
    frmGoldbachQt window;
    window.show();
    return QApplication::exec();
}
