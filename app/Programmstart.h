// The start of the Qt program: one application, one window frmGoldbach, the event loop until the
// window is closed. Shared with the program's test build, so that it starts as the program does.
#pragma once

#include <QApplication>

#include <functional>

template <class Fenster>
int Programm_ausfuehren(int argc, char* argv[],
                        const std::function<void(Fenster&)>& Vor_dem_Zeigen = {}) {
    // Offer the window to screen readers whenever an accessibility bus is there, not only once
    // the desktop has announced one. Qt 6.4 (Debian 12) reads whether a screen reader runs only
    // once, at start: a screen reader started after the program (a class may start Wendelkamm
    // first) would otherwise find nothing of the window.
    if (!qEnvironmentVariableIsSet("QT_LINUX_ACCESSIBILITY_ALWAYS_ON")) {
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Wendelkamm"));
    QApplication::setApplicationVersion(QStringLiteral(WENDELKAMM_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(WENDELKAMM_ID));
    Fenster::Zugang_einrichten();
    Fenster window;
    if (Vor_dem_Zeigen) {
        Vor_dem_Zeigen(window);
    }
    window.show();
    return QApplication::exec();
}
