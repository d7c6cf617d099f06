// Start-up of the Windows program: create the window, show it, run the message loop.
#include "frmGoldbachWin32.h"

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE Instanz, HINSTANCE, PWSTR, int Anzeige) {
    // The buttons and the text box in the look of the running Windows (Common Controls 6, as the
    // manifest asks for). The manifest also makes the program aware of each monitor's DPI.
    INITCOMMONCONTROLSEX Steuerelemente{sizeof Steuerelemente, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&Steuerelemente);
    frmGoldbachWin32 Fenster(Instanz);
    if (!Fenster.Erzeugen()) {
        return 1;
    }
    Fenster.Zeigen(Anzeige);
    return Fenster.Nachrichtenschleife();
}
