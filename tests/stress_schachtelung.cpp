// Many runs nested inside one another on the fake window: opened by a burst of Start clicks,
// unwound by as many brakes or by one close, and the refusal beyond the limit.
#include "Fensterattrappe.h"
#include "Fensterdefinition.h"
#include "Pruefdaten.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>

namespace {

const std::string Frage = Fensterdefinition::Frage;
using Pruefdaten::Zeilen;
constexpr int Grenze = frmGoldbach::Laeufe_hoechstens;

// A fake window with a queue of clicks as the window system keeps it: an event processing
// handles every click waiting, one after the other, and a Start among them runs its whole run
// inside that processing, which in turn handles the rest of the queue at its own first one.
class Warteschlangenfenster : public Fensterattrappe {
public:
    std::deque<char> Klicks; // 'S' for Start, 'N' for Notbremse
    int Tiefste = 0;         // the most runs active at once

    void EreignisseVerarbeiten() override {
        Fensterattrappe::EreignisseVerarbeiten();
        Tiefste = std::max(Tiefste, Form.Laeufe());
        while (!Klicks.empty()) {
            const char Klick = Klicks.front();
            Klicks.pop_front();
            if (Klick == 'S') {
                Form.cmdStart_Click();
            } else {
                Form.cmdNotbremse_Click();
            }
        }
    }

    void Klicks_einreihen(int Anzahl, char Klick) { Klicks.insert(Klicks.end(), Anzahl, Klick); }
};

} // namespace

TEST(Schachtelung, TausendStartsOeffnenTausendLaeufe_TausendBremsenSchliessenSieWieder) {
    Warteschlangenfenster F;
    F.Schritt = 0.5;
    F.Hoechste_Verarbeitung = 10 * Grenze;
    F.Klicks_einreihen(Grenze, 'S');
    // Once every run is open, a brake during each wait: it is handled at the next processing,
    // and the run that sees it ends; the run around it meets the next brake in its own pass.
    int Bremsen = 0;
    F.Bei_Uhrlesung = [&](Fensterattrappe& G) {
        auto& W = static_cast<Warteschlangenfenster&>(G);
        if (W.Tiefste == Grenze && W.Klicks.empty() && Bremsen < Grenze) {
            W.Klicks_einreihen(1, 'N');
            ++Bremsen;
        }
    };
    F.EreignisseVerarbeiten(); // the one processing that finds the whole burst waiting

    EXPECT_EQ(F.Tiefste, Grenze);
    EXPECT_EQ(F.Form.Laeufe(), 0);
    EXPECT_EQ(Bremsen, Grenze);
    EXPECT_EQ(F.Tag, "0");
    // Only the innermost run wrote a line; each run around it stopped in the pass it went on
    // with, at the number the run inside it had left.
    EXPECT_EQ(F.Text, Frage + Zeilen(6, 6));
    EXPECT_EQ(F.Form.Zahl, 8);
    EXPECT_EQ(F.Verarbeitungen, 1 + Grenze + 1);
}

TEST(Schachtelung, EinSchliessenBeendetTausendLaeufeAufEinmal) {
    Warteschlangenfenster F;
    F.Hoechste_Verarbeitung = 10 * Grenze;
    F.Klicks_einreihen(Grenze, 'S');
    F.Bei_Uhrlesung = [](Fensterattrappe& G) {
        if (static_cast<Warteschlangenfenster&>(G).Tiefste == Grenze) {
            G.Geschlossen = true; // seen by every run at its next processing
        }
    };
    F.EreignisseVerarbeiten();

    EXPECT_EQ(F.Tiefste, Grenze);
    EXPECT_EQ(F.Form.Laeufe(), 0);
    // The innermost run took one more processing to see the close; none of the others
    // processed events again.
    EXPECT_EQ(F.Verarbeitungen, 1 + Grenze + 1);
    EXPECT_EQ(F.Text, Frage + Zeilen(6, 6));
}

TEST(Schachtelung, StartUeberDerGrenzeWirdAbgewiesenUndAendertNichts) {
    Warteschlangenfenster F;
    F.Hoechste_Verarbeitung = 10 * Grenze;
    F.Klicks_einreihen(Grenze, 'S');
    int Phase = 0;
    int Zahl_danach = 0;
    int Laeufe_danach = 0;
    std::string Text_danach;
    int Laeufe_neu = 0;
    std::string Text_neu;
    F.Bei_Uhrlesung = [&](Fensterattrappe& G) {
        auto& W = static_cast<Warteschlangenfenster&>(G);
        switch (Phase) {
        case 0: // the innermost run waits for 12: one more Start
            if (W.Form.Laeufe() == Grenze && W.Form.Zahl == 12) {
                W.Klicks_einreihen(1, 'S');
                Phase = 1;
            }
            break;
        case 1: // the first wait after the processing that took it
            if (W.Form.Zahl != 12) {
                Zahl_danach = W.Form.Zahl;
                Laeufe_danach = W.Form.Laeufe();
                Text_danach = W.Text;
                W.Klicks_einreihen(1, 'N');
                Phase = 2;
            }
            break;
        case 2: // the brake ended the innermost run: there is room for one again
            if (W.Form.Laeufe() == Grenze - 1) {
                W.Klicks_einreihen(1, 'S');
                Phase = 3;
            }
            break;
        case 3:
            if (W.Form.Laeufe() == Grenze) {
                Laeufe_neu = W.Form.Laeufe();
                Text_neu = W.Text;
                W.Geschlossen = true;
                Phase = 4;
            }
            break;
        }
    };
    F.EreignisseVerarbeiten();

    ASSERT_EQ(Phase, 4);
    // The refused click neither reset Zahl nor put up the question: the run went on with 14.
    EXPECT_EQ(Zahl_danach, 14);
    EXPECT_EQ(Laeufe_danach, Grenze);
    EXPECT_EQ(Text_danach, Frage + Zeilen(6, 12));
    // The Start after the brake opened a run again.
    EXPECT_EQ(Laeufe_neu, Grenze);
    EXPECT_EQ(Text_neu, Frage);
    EXPECT_EQ(F.Form.Laeufe(), 0);
}

TEST(Schachtelung, HunderttausendStartsScheiternSauberAnDerGrenze) {
    Warteschlangenfenster F;
    F.Hoechste_Verarbeitung = 10 * Grenze;
    F.Klicks_einreihen(100000, 'S');
    F.Bei_Uhrlesung = [](Fensterattrappe& G) {
        if (static_cast<Warteschlangenfenster&>(G).Klicks.empty()) {
            G.Geschlossen = true;
        }
    };
    F.EreignisseVerarbeiten();

    EXPECT_EQ(F.Tiefste, Grenze);
    EXPECT_EQ(F.Form.Laeufe(), 0);
    // The innermost run took the 99 000 clicks beyond the limit at its first processing and
    // went on with 6; every run around it ended at its next processing.
    EXPECT_EQ(F.Verarbeitungen, 1 + Grenze + 1);
    EXPECT_EQ(F.Text, Frage + Zeilen(6, 6));
}
