// Start-up of the page: build the window from its definition and run the page's event loop.
#include "frmGoldbachWeb.h"

int main() {
    static frmGoldbachWeb Fenster;
    Fenster.Ereignisschleife();
    return 0;
}
