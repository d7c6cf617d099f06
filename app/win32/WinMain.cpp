// Start-up of the Windows program: create the window, show it, run the message loop.
#include "frmGoldbachWin32.h"

int WINAPI wWinMain(HINSTANCE Instanz, HINSTANCE, PWSTR, int Anzeige) {
    // Twips become pixels at the screen's real density, not at a scaled 96 dpi.
    SetProcessDPIAware();
    frmGoldbachWin32 Fenster(Instanz);
    if (!Fenster.Erzeugen()) {
        return 1;
    }
    Fenster.Zeigen(Anzeige);
    return Fenster.Nachrichtenschleife();
}
