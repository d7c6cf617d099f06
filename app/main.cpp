#include "frmGoldbachQt.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    // Offer the window to screen readers whenever an accessibility bus is there, not only once
    // the desktop has announced one: a class may start the program before the screen reader.
    if (!qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON")) {
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wendelkamm"));
    QApplication::setApplicationVersion(QStringLiteral(WENDELKAMM_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("wendelkamm"));
    frmGoldbachQt window;
    window.show();
    return QApplication::exec();
}
