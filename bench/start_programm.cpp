// A bench-only build of the program, never shipped: the program's own start-up, and
// once its window has been painted for the first time it writes the nanoseconds since the
// moment given as its argument (a CLOCK_MONOTONIC reading taken before it was started) and ends.
#include "Programmstart.h"
#include "frmGoldbachQt.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

// The monotonic clock (CLOCK_MONOTONIC on Linux), which reads the same in every process.
long long Monoton_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

class Erstes_Bild : public QObject {
public:
    explicit Erstes_Bild(long long Start) : Start(Start) {}

protected:
    bool eventFilter(QObject* Ziel, QEvent* Ereignis) override {
        if (Ereignis->type() == QEvent::Paint && !Gemeldet) {
            Gemeldet = true;
            // Reported once the paint and the flush to the screen that follow this event are
            // done, when control is back in the event loop.
            QTimer::singleShot(0, [this] {
                std::printf("%lld\n", Monoton_ns() - this->Start);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(Ziel, Ereignis);
    }

private:
    long long Start;
    bool Gemeldet = false;
};

} // namespace

int main(int argc, char* argv[]) {
    const long long Start = argc > 1 ? std::atoll(argv[1]) : Monoton_ns();
    Erstes_Bild Beobachter(Start);
    return Programm_ausfuehren<frmGoldbachQt>(argc, argv, [&Beobachter](frmGoldbachQt& window) {
        window.installEventFilter(&Beobachter);
    });
}
