// A test-only build of the program for the overflow test, never shipped: the same window and
// start-up, but the first run is moved at its first event processing to the last number it
// decomposes, 2147483646. At the run-time error it prints what the box shows (on standard
// output) and the message (on standard error) before the error is reported as usual.
#include "Programmstart.h"
#include "frmGoldbachQt.h"

#include <QApplication>

#include <cstdint>
#include <cstdio>
#include <limits>

namespace {

class Ueberlauffenster : public frmGoldbachQt {
public:
    void EreignisseVerarbeiten() override {
        if (!Versetzt) {
            Versetzt = true;
            Form().Zahl = std::numeric_limits<std::int32_t>::max() - 1;
        }
        frmGoldbachQt::EreignisseVerarbeiten();
    }

    [[noreturn]] void Laufzeitfehler(const std::string& Meldung) override {
        std::fputs(Text1_Lesen().c_str(), stdout);
        std::fflush(stdout);
        std::fputs(Meldung.c_str(), stderr);
        std::fflush(stderr);
        frmGoldbachQt::Laufzeitfehler(Meldung);
    }

private:
    bool Versetzt = false;
};

} // namespace

int main(int argc, char* argv[]) {
    return Programm_ausfuehren<Ueberlauffenster>(argc, argv);
}
