// A window of the program with a fast clock, for every test and benchmark that drives a run: the
// clock runs Schritt seconds at each reading instead of with the time of day, a rest of the
// window runs the clock on by as long as it was asked to rest (at most Hoechste_Ruhe) without
// any real waiting, and hooks run at each reading and at each event processing. Fenster is the
// window's class (the Qt or Win32 window, or a toolkit-free stand-in); Selbst is the class made
// from this, which the hooks get.
#pragma once

#include <cmath>
#include <functional>
#include <stdexcept>

template <class Fenster, class Selbst> class Schnelluhr : public Fenster {
public:
    using Fenster::Fenster;

    // The seconds the clock has run; the window reads the time of day Tageszeit_Anfang + Zeit,
    // wrapped at midnight (10:00 and on unless a test sets it).
    double Zeit = 0.0;
    double Schritt = 0.25;
    double Tageszeit_Anfang = 36000.0;
    int Uhrlesungen = 0;
    int Hoechste_Uhrlesungen = 0; // a wait that never ends fails the test (0: no limit)
    int Verarbeitungen = 0;
    int Ruhepausen = 0;
    double Hoechste_Ruhe = 1e9; // a window woken early, as by other programs' requests
    std::function<void(Selbst&)> Bei_Uhrlesung;    // before each reading
    std::function<void(Selbst&)> Bei_Verarbeitung; // before each event processing

    float Uhrzeit() override {
        if (Bei_Uhrlesung) {
            Bei_Uhrlesung(static_cast<Selbst&>(*this));
        }
        if (++Uhrlesungen > Hoechste_Uhrlesungen && Hoechste_Uhrlesungen > 0) {
            throw std::runtime_error("the wait did not end");
        }
        const double Tageszeit = std::fmod(Tageszeit_Anfang + Zeit, 86400.0);
        Zeit += Schritt;
        return static_cast<float>(Tageszeit < 0 ? Tageszeit + 86400.0 : Tageszeit);
    }

    // The window's own rest, for no time at all: it answers what is waiting, then the clock runs
    // on by the rest.
    double Ruhen(double Sekunden) override {
        Fenster::Ruhen(0.0);
        ++Ruhepausen;
        const double Geruht = Sekunden < Hoechste_Ruhe ? Sekunden : Hoechste_Ruhe;
        Zeit += Geruht;
        return Geruht;
    }

    void EreignisseVerarbeiten() override {
        ++Verarbeitungen;
        if (Bei_Verarbeitung) {
            Bei_Verarbeitung(static_cast<Selbst&>(*this));
        }
        Fenster::EreignisseVerarbeiten();
    }
};
