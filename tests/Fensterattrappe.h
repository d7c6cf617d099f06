// A window for the run without any toolkit: the fast clock, actions (clicks, typing, closing)
// delivered at a chosen event processing, and a record of every replacement of the text and of
// the tag.
#pragma once

#include "Fensterdienste.h"
#include "Schnelluhr.h"
#include "frmGoldbach.h"

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

struct Programmende {
    std::string Meldung;
};

// Everything of a window but its clock, toolkit-free: the text and the tag as strings, with a
// record of each replacement.
class Dienstattrappe : public Fensterdienste {
public:
    std::string Text = "Hinweis\r\n";
    std::string Tag = "0";
    std::vector<std::string> Ersetzungen;
    std::vector<std::string> Tagersetzungen;
    bool Geschlossen = false;

    void EreignisseVerarbeiten() override {}
    double Ruhen(double) override { return 0.0; }
    std::string Text1_Lesen() override { return Text; }
    void Text1_Ersetzen(const std::string& Neu) override {
        Text = Neu;
        Ersetzungen.push_back(Neu);
    }
    std::string NotbremseTag_Lesen() override { return Tag; }
    void NotbremseTag_Ersetzen(const std::string& Neu) override {
        Tag = Neu;
        Tagersetzungen.push_back(Neu);
    }
    [[noreturn]] void Laufzeitfehler(const std::string& Meldung) override {
        throw Programmende{Meldung};
    }
    bool WirdGeschlossen() override { return Geschlossen; }
};

class Fensterattrappe : public Schnelluhr<Dienstattrappe, Fensterattrappe> {
public:
    frmGoldbach Form{*this};

    Fensterattrappe() { Hoechste_Uhrlesungen = 100000000; }

    std::vector<double> Ersetzungszeiten; // the clock (Zeit) at each replacement
    int Hoechste_Verarbeitung = 10000;    // a runaway run fails the test instead of hanging it
    std::map<int, std::vector<std::function<void(Fensterattrappe&)>>> Aktionen;
    // Input that comes while the run is busy (a click during the wait): handled at the next
    // event processing, as a toolkit's queue holds it until then.
    std::vector<std::function<void(Fensterattrappe&)>> Eingaben;
    // Another program's requests (a screen reader's), answered whenever the window rests.
    std::vector<std::function<void(Fensterattrappe&)>> Anfragen;

    // Schedules an action at the k-th event processing (counted from 1).
    void Bei(int k, std::function<void(Fensterattrappe&)> Aktion) {
        Aktionen[k].push_back(std::move(Aktion));
    }
    void Bremse_bei(int k) {
        Bei(k, [](Fensterattrappe& F) { F.Form.cmdNotbremse_Click(); });
    }
    void Start_bei(int k) {
        Bei(k, [](Fensterattrappe& F) { F.Form.cmdStart_Click(); });
    }

    void EreignisseVerarbeiten() override {
        Schnelluhr::EreignisseVerarbeiten();
        if (Verarbeitungen > Hoechste_Verarbeitung) {
            throw std::runtime_error("the run did not end");
        }
        const auto Gefunden = Aktionen.find(Verarbeitungen);
        if (Gefunden != Aktionen.end()) {
            const auto Jetzt = Gefunden->second;
            for (const auto& Aktion : Jetzt) {
                Aktion(*this);
            }
        }
        Ausfuehren(Eingaben);
    }

    double Ruhen(double Sekunden) override {
        Ausfuehren(Anfragen);
        return Schnelluhr::Ruhen(Sekunden);
    }

    void Text1_Ersetzen(const std::string& Neu) override {
        Dienstattrappe::Text1_Ersetzen(Neu);
        Ersetzungszeiten.push_back(Zeit);
    }

private:
    void Ausfuehren(std::vector<std::function<void(Fensterattrappe&)>>& Schlange) {
        const auto Jetzt = std::move(Schlange);
        Schlange.clear();
        for (const auto& Aktion : Jetzt) {
            Aktion(*this);
        }
    }
};
