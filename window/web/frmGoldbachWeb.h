// frmGoldbach as a web page: the program compiled to WebAssembly builds the page's window from
// the window's definition and provides the window services to the behaviour. The page's own
// script (Seite.js) only queues the clicks; they reach the handlers at the next event
// processing, as the desktop windows' clicks do.
#pragma once

#include "Goldbachfenster.h"

class frmGoldbachWeb : public Goldbachfenster {
public:
    // Builds the window in the page from the program's definition, which the compiler has
    // checked: title, client box, the controls in tab order; focus in Text1.
    frmGoldbachWeb();

    // The page's event loop: waits for a click and delivers it, until the page is left.
    void Ereignisschleife();

    void EreignisseVerarbeiten() override;
    double Ruhen(double Sekunden) override;
    float Uhrzeit() override;
    std::string Text1_Lesen() override;
    void Text1_Ersetzen(const std::string& Text) override;
    void Text1_Anhaengen(const std::string& Zeile) override;
    std::string NotbremseTag_Lesen() override;
    void NotbremseTag_Ersetzen(const std::string& Tag) override;
    [[noreturn]] void Laufzeitfehler(const std::string& Meldung) override;
    bool WirdGeschlossen() override;

private:
    // Runs the handlers of the clicks queued up to number Bis, in order.
    void Ausliefern(int Bis);
};
