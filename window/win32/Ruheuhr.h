// The rest of the one-second wait and the clock it is measured by: a waitable timer that ends a
// rest on time, the performance counter that measures it, and the system's precise time of day.
// Nothing here needs the window.
#pragma once

#include "Zeichenketten.h"

// Owns one kernel handle and closes it.
class Griff {
public:
    explicit Griff(HANDLE Handle = nullptr) : Handle(Handle) {}
    ~Griff() { Schliessen(); }
    Griff(const Griff&) = delete;
    Griff& operator=(const Griff&) = delete;

    HANDLE Wert() const { return Handle; }
    // Closes the handle held, if any, and holds the new one.
    void Ersetzen(HANDLE Neu = nullptr) {
        Schliessen();
        Handle = Neu;
    }

private:
    void Schliessen() {
        if (Handle != nullptr) {
            CloseHandle(Handle);
        }
    }
    HANDLE Handle;
};

class Ruheuhr {
public:
    Ruheuhr();

    // The alarm that ends a rest on time, made with the window and closed with it; without it
    // (Windows before 10 1803, or no window), the system's timer is made finer for each rest.
    void Wecker_Erzeugen();
    void Wecker_Schliessen() { Wecker.Ersetzen(); }

    // Rests until the time is up, answering only messages sent by other threads and programs;
    // returns the seconds it rested, by the performance counter.
    double Ruhen(double Sekunden);
    // Seconds since the local midnight.
    static float Uhrzeit();

private:
    long long Zaehlerfrequenz = 1; // ticks of the performance counter in a second
    Griff Wecker;
};
