// A window for the run without any toolkit: a clock that advances by a set step per reading,
// actions (clicks, typing, closing) delivered at a chosen event processing, and a record of
// every replacement of the text and of the tag.
#pragma once

#include "Fensterdienste.h"
#include "frmGoldbach.h"

#include <cmath>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

struct Programmende {
    std::string Meldung;
};

class FakeFenster : public Fensterdienste {
public:
    frmGoldbach Form{*this};

    // The clock: real (fake) seconds since the test began; what the window reads is the time of
    // day, Tageszeit_Anfang + Zeit + Verstellung, wrapped at midnight.
    double Zeit = 0.0;
    double Schritt = 0.25;
    double Tageszeit_Anfang = 36000.0;
    double Verstellung = 0.0;
    int Uhrlesungen = 0;
    std::function<void(FakeFenster&)> Bei_Uhrlesung; // runs before each reading

    std::string Text = "Hinweis\r\n";
    std::string Tag = "0";
    std::vector<std::string> Ersetzungen;
    std::vector<double> Ersetzungszeiten; // the clock (Zeit) at each replacement
    std::vector<std::string> Tagersetzungen;
    bool Geschlossen = false;

    int Verarbeitungen = 0;
    int Hoechste_Verarbeitung = 10000; // a runaway run fails the test instead of hanging it
    std::map<int, std::vector<std::function<void(FakeFenster&)>>> Aktionen;

    // Schedules an action at the k-th event processing (counted from 1).
    void Bei(int k, std::function<void(FakeFenster&)> Aktion) {
        Aktionen[k].push_back(std::move(Aktion));
    }
    void Bremse_bei(int k) {
        Bei(k, [](FakeFenster& F) { F.Form.cmdNotbremse_Click(); });
    }
    void Start_bei(int k) {
        Bei(k, [](FakeFenster& F) { F.Form.cmdStart_Click(); });
    }

    void EreignisseVerarbeiten() override {
        ++Verarbeitungen;
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
    }

    float Uhrzeit() override {
        if (Bei_Uhrlesung) {
            Bei_Uhrlesung(*this);
        }
        if (++Uhrlesungen > 100000000) {
            throw std::runtime_error("the wait did not end");
        }
        const double Tageszeit = std::fmod(Tageszeit_Anfang + Zeit + Verstellung, 86400.0);
        Zeit += Schritt;
        return static_cast<float>(Tageszeit < 0 ? Tageszeit + 86400.0 : Tageszeit);
    }

    std::string Text1_Lesen() override { return Text; }
    void Text1_Ersetzen(const std::string& Neu) override {
        Text = Neu;
        Ersetzungen.push_back(Neu);
        Ersetzungszeiten.push_back(Zeit);
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
