// What one pass of the run costs beyond its one-second wait, through the real Win32 window under
// Wine: its event processing, the flag, and the line written to the box, once by the window's own
// append and once as the text is read, the line added and the whole replaced. The clock jumps a
// second per reading, so the wait ends at its second reading. Prints a table for each box:
//   wine build-win/bench/durchgang_win32.exe
#include "../../tests/Pruefdaten.h"
#include "../../tests/Schnelluhr.h"
#include "frmGoldbachWin32.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Uhr = std::chrono::steady_clock;

class Messfenster : public Schnelluhr<frmGoldbachWin32, Messfenster> {
public:
    Messfenster() : Schnelluhr(GetModuleHandleW(nullptr)) { Schritt = 1.0; }
    bool Ersetzend = false; // the services' default: read, add the line, replace

    void Text1_Anhaengen(const std::string& Zeile) override {
        if (Ersetzend) {
            Fensterdienste::Text1_Anhaengen(Zeile);
        } else {
            frmGoldbachWin32::Text1_Anhaengen(Zeile);
        }
    }
};

// The passes' durations in seconds, Durchgaenge of them after the first.
std::vector<double> Messen(bool Ersetzend, bool Mit_Megabyte, int Durchgaenge) {
    Messfenster F;
    F.Ersetzend = Ersetzend;
    F.Erzeugen();
    F.Zeigen(SW_SHOWNORMAL);
    F.EreignisseVerarbeiten();
    F.Verarbeitungen = 0;
    std::vector<double> Dauern;
    Uhr::time_point Anfang{};
    F.Bei_Verarbeitung = [&](Messfenster& G) {
        const auto Jetzt = Uhr::now();
        if (G.Verarbeitungen > 1) {
            Dauern.push_back(std::chrono::duration<double>(Jetzt - Anfang).count());
        }
        if (G.Verarbeitungen > Durchgaenge) {
            G.Form().cmdNotbremse_Click();
            return;
        }
        if (Mit_Megabyte) {
            // The megabyte typed (pasted) below the question, never cleared.
            const HWND Text1 = GetDlgItem(G.Fenster(), 101);
            if (G.Verarbeitungen == 1) {
                const std::wstring Text = frmGoldbachWin32::Breit(Pruefdaten::Megabyte());
                const auto Ende = static_cast<WPARAM>(GetWindowTextLengthW(Text1));
                SendMessageW(Text1, EM_SETSEL, Ende, static_cast<LPARAM>(Ende));
                SendMessageW(Text1, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Text.c_str()));
            }
            if (G.Form().Zahl % 20 == 0) {
                G.Form().Zahl += 2;
            }
        }
        Anfang = Uhr::now();
    };
    F.Form().cmdStart_Click();
    DestroyWindow(F.Fenster());
    // The window's end posts WM_QUIT, which the next window's event processing would leave
    // alone forever.
    MSG Ende;
    PeekMessageW(&Ende, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return Dauern;
}

void Zeile(const char* Name, std::vector<double> Alle) {
    std::sort(Alle.begin(), Alle.end());
    std::printf("| %s | %.3f ms | %.3f ms | %zu |\n", Name, Alle[Alle.size() / 2] * 1e3,
                Alle[Alle.size() * 9 / 10] * 1e3, Alle.size());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const int Runden = argc > 1 ? std::atoi(argv[1]) : 3;
    const int Megabyte_Durchgaenge = argc > 2 ? std::atoi(argv[2]) : 20;
    const bool Nur_Megabyte = argc > 3;
    std::printf("| Box, line written by | Median | 90th pct. | Passes |\n|---|---|---|---|\n");
    for (const bool Megabyte : {false, true}) {
        if (Nur_Megabyte && !Megabyte) {
            continue;
        }
        const int Durchgaenge = Megabyte ? Megabyte_Durchgaenge : 200;
        std::vector<double> Anhaengen;
        std::vector<double> Ersetzen;
        for (int Runde = 0; Runde < Runden; ++Runde) { // interleaved, against the shared machine
            const auto A = Messen(false, Megabyte, Durchgaenge);
            Anhaengen.insert(Anhaengen.end(), A.begin(), A.end());
            const auto E = Messen(true, Megabyte, Durchgaenge);
            Ersetzen.insert(Ersetzen.end(), E.begin(), E.end());
        }
        Zeile(Megabyte ? "1 MiB typed, read + replace" : "a run's lines, read + replace", Ersetzen);
        Zeile(Megabyte ? "1 MiB typed, EM_REPLACESEL" : "a run's lines, EM_REPLACESEL", Anhaengen);
    }
    return 0;
}
