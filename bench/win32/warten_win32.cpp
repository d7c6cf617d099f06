// What the one-second wait does under Wine when it looks for other programs' requests: how
// often it reads the clock and how often it looks into the queue, in a real wait with the real
// clock, three times each: without looking, looking at every reading, and as the window does
// it (once a millisecond). Three passes a run, the first left out:
//   wine build-win/bench/warten_win32.exe
#include "frmGoldbachWin32.h"

#include <chrono>
#include <cstdio>

namespace {

enum class Schau { Nie, Jede_Lesung, Fenster };

class Messfenster : public frmGoldbachWin32 {
public:
    explicit Messfenster(Schau Art) : frmGoldbachWin32(GetModuleHandleW(nullptr)), Art(Art) {}
    Schau Art;
    long long Lesungen = 0;
    int Verarbeitungen = 0;

    float Uhrzeit() override {
        ++Lesungen;
        return frmGoldbachWin32::Uhrzeit();
    }
    void Fremdanfragen_Beantworten() override {
        if (Art == Schau::Jede_Lesung) {
            MSG Nachricht;
            PeekMessageW(&Nachricht, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else if (Art == Schau::Fenster) {
            frmGoldbachWin32::Fremdanfragen_Beantworten();
        }
    }
    void EreignisseVerarbeiten() override {
        ++Verarbeitungen;
        if (Verarbeitungen == 2) { // the first wait is over: count from here
            Lesungen = 0;
            Anfang = std::chrono::steady_clock::now();
        } else if (Verarbeitungen > 3) {
            Form().cmdNotbremse_Click();
        }
        frmGoldbachWin32::EreignisseVerarbeiten();
    }
    std::chrono::steady_clock::time_point Anfang;
};

void Messen(Schau Art, const char* Name) {
    Messfenster F(Art);
    F.Erzeugen();
    F.Zeigen(SW_SHOWNORMAL);
    F.EreignisseVerarbeiten();
    F.Verarbeitungen = 0;
    F.Form().cmdStart_Click();
    const double Sekunden =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - F.Anfang).count();
    std::printf("| %s | %.0f | %.2f µs | %s |\n", Name, F.Lesungen / Sekunden,
                Sekunden / static_cast<double>(F.Lesungen) * 1e6,
                Art == Schau::Jede_Lesung ? "each reading"
                : Art == Schau::Nie       ? "0"
                                          : "≤ 1000/s");
    std::fflush(stdout);
    DestroyWindow(F.Fenster());
    MSG Ende;
    PeekMessageW(&Ende, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

} // namespace

int main() {
    std::printf("| The wait looks into the queue | Readings a second | Per reading | Looks |\n"
                "|---|---|---|---|\n");
    for (int Runde = 0; Runde < 3; ++Runde) {
        Messen(Schau::Nie, "never");
        Messen(Schau::Jede_Lesung, "at every reading");
        Messen(Schau::Fenster, "as the window does");
    }
    return 0;
}
