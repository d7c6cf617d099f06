// What the window offers a screen reader beyond its controls: the box's accessible name by
// Dynamic Annotation, and each new line announced by UI Automation's notification. Nothing here
// needs the window's state, only the box.
#pragma once

#include "Zeichenketten.h"

#include <string_view>

struct IAccPropServices;
struct IRawElementProviderSimple;

// Owns one reference to a COM object and releases it.
template <typename Schnittstelle> class Com_Zeiger {
public:
    Com_Zeiger() = default;
    ~Com_Zeiger() { Freigeben(); }
    Com_Zeiger(const Com_Zeiger&) = delete;
    Com_Zeiger& operator=(const Com_Zeiger&) = delete;

    Schnittstelle* operator->() const { return Zeiger; }
    Schnittstelle* Wert() const { return Zeiger; }
    explicit operator bool() const { return Zeiger != nullptr; }
    // Takes over a reference handed out; the one held before is released.
    void Uebernehmen(Schnittstelle* Neu) {
        Freigeben();
        Zeiger = Neu;
    }
    void Freigeben() {
        if (Zeiger != nullptr) {
            Zeiger->Release();
            Zeiger = nullptr;
        }
    }

private:
    Schnittstelle* Zeiger = nullptr;
};

// COM on this thread for as long as it lives, ended with it where it was begun here.
class Com_Wohnung {
public:
    Com_Wohnung();
    ~Com_Wohnung();
    Com_Wohnung(const Com_Wohnung&) = delete;
    Com_Wohnung& operator=(const Com_Wohnung&) = delete;

private:
    bool Eigen; // COM set up on this thread by this object
};

// The accessibility services of one text box, from the window's creation to its end.
class Zugang {
public:
    // Gives the box the accessible name; the box goes without where Windows refuses.
    Zugang(HWND Feld, std::wstring_view Name);
    ~Zugang();
    Zugang(const Zugang&) = delete;
    Zugang& operator=(const Zugang&) = delete;

    // Whether the box carries the name.
    bool Name_Angebracht() const { return static_cast<bool>(Namensdienst); }
    // Announces a line written into the box, where Windows can.
    void Ansagen(std::string_view Zeile);
    // Takes the name from the box and lets the services go, while the box still exists; the
    // box is announced no more.
    void Loesen();

private:
    Com_Wohnung Wohnung; // first made, last ended
    HWND Feld;
    Com_Zeiger<IAccPropServices> Namensdienst;     // holds the box's name until Loesen
    Com_Zeiger<IRawElementProviderSimple> Ansager; // the box for UI Automation, once it announces
};
