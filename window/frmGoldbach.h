// The window class frmGoldbach: its state and its three procedures, free of any toolkit.
// The run lives in cmdStart_Click; it hands control to the window once per number.
#pragma once

#include <cstdint>
#include <string>

class Fensterdienste;

class frmGoldbach {
public:
    explicit frmGoldbach(Fensterdienste& Fenster) : Fenster(Fenster) {}

    // Bound to the click of cmdStart: runs the Goldbach loop over 6, 8, 10, ... until the brake.
    // A click while Laeufe_hoechstens runs are active opens no further run and changes nothing.
    void cmdStart_Click();
    // Bound to the click of cmdNotbremse: raises the brake flag, nothing else.
    void cmdNotbremse_Click();

    // Decides by plain trial division whether x counts as prime; Ergebnis is 1 or 0.
    // 1 and every odd negative count as prime, every even number (2 included) does not.
    static void Primtest(const std::int32_t& x, std::int32_t& Ergebnis);

    // Searches n = p + q with both summands passing Primtest, p from its start value downward.
    // Gefunden is 1 with Summand at the pair's p, or 0 when the candidates ran out below 1.
    static void Zerlegung_Suchen(std::int32_t n, double& Summand, std::int32_t& Gefunden);

    // The result line for n and its found p: " 6 = 3 + 3" followed by CR LF.
    static std::string Ergebniszeile(std::int32_t n, double Summand);

    // The wait that paces the run: one second of clock time from Startzeit. It processes no
    // events: between two readings of the clock the window rests until the second could be over,
    // answering only other programs' requests (a screen reader's) meanwhile. A clock that goes
    // back (midnight, or set back by hand) does not stretch it: the time already waited is kept.
    void Eine_Sekunde_Warten();

    std::int32_t Zahl = 0;
    double Startzeit = 0.0;

    // How many runs are active, nested one inside the other (0 when the window is idle).
    int Laeufe() const { return Aktive_Laeufe; }

    // Every nested run keeps the whole chain of calls from the click through the window's event
    // dispatch on the stack: about 2 KiB per run with Qt on Linux (3.3 KiB with the sanitizers),
    // so an 8 MiB stack overflows at about 4200 runs (2500 with the sanitizers). 1000 runs take
    // some 2 MiB, a quarter of that stack; a front end whose main thread has less (Windows gives
    // 1 MiB unless the program asks for more) must reserve at least 8 MiB.
    static constexpr int Laeufe_hoechstens = 1000;

    static constexpr const char* Ueberlauf =
        "Laufzeitfehler 6: Überlauf.\r\n\r\n"
        "Zahl ist über 2147483647 hinausgewachsen. Das Programm wird beendet.";

private:
    Fensterdienste& Fenster;
    int Aktive_Laeufe = 0;
};
