#include "Fensterattrappe.h"
#include "Fensterdefinition.h"
#include "Pruefdaten.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string Frage = Fensterdefinition::Frage;
using Pruefdaten::Zeilen;

// The pass for n begins with the event processing number (n - 4) / 2: a click handled there
// stops the run after the line for n - 2.
int Verarbeitung_fuer(int n) {
    return (n - 4) / 2;
}

} // namespace

TEST(Lauf, FrageDannEineZeileProSekunde) {
    Fensterattrappe F;
    F.Bremse_bei(Verarbeitung_fuer(14));
    F.Form.cmdStart_Click();

    EXPECT_EQ(F.Text, Frage + Zeilen(6, 12));
    ASSERT_EQ(F.Ersetzungen.size(), 5u);
    EXPECT_EQ(F.Ersetzungen[0], Frage);
    EXPECT_EQ(F.Ersetzungen[1], Frage + Zeilen(6, 6));
    EXPECT_EQ(F.Tag, "0");
    EXPECT_EQ(F.Verarbeitungen, Verarbeitung_fuer(14));
    // Five waits of one second each, none shorter, none much longer.
    EXPECT_GE(F.Zeit, 5.0);
    EXPECT_LE(F.Zeit, 5.0 + 5 * 2 * F.Schritt);
}

TEST(Lauf, AbZwanzigNurEinBlockVonZehnZahlen) {
    Fensterattrappe F;
    F.Schritt = 0.125;
    F.Bremse_bei(Verarbeitung_fuer(42));
    F.Form.cmdStart_Click();

    // Question, 6 ... 18, the clear, 20 ... 38, the clear, 40.
    ASSERT_EQ(F.Ersetzungen.size(), 1u + 7 + 1 + 10 + 1 + 1);
    EXPECT_EQ(F.Ersetzungen[7], Frage + Zeilen(6, 18));
    EXPECT_EQ(F.Ersetzungen[8], "");
    EXPECT_EQ(F.Ersetzungen[9], Zeilen(20, 20));
    EXPECT_EQ(F.Ersetzungen[18], Zeilen(20, 38));
    EXPECT_EQ(F.Ersetzungen[19], "");
    EXPECT_EQ(F.Text, Zeilen(40, 40));
    // The box stays empty for the whole second of 20's wait.
    EXPECT_GE(F.Ersetzungszeiten[9] - F.Ersetzungszeiten[8], 1.0);
}

TEST(Lauf, BremseImLeerlaufWirktBeimNaechstenStart) {
    Fensterattrappe F;
    F.Form.cmdNotbremse_Click();
    EXPECT_EQ(F.Tag, "1");
    EXPECT_EQ(F.Text, "Hinweis\r\n"); // nothing visible changes

    F.Form.cmdStart_Click();
    EXPECT_EQ(F.Ersetzungen, std::vector<std::string>{Frage});
    EXPECT_EQ(F.Tag, "0");
    EXPECT_EQ(F.Verarbeitungen, 1);
    EXPECT_GE(F.Zeit, 1.0); // it still waited its second
}

TEST(Lauf, BremseWaehrendDerWartezeitZeigtNochDieseZeile) {
    // A click during the wait for 10 is handled at the top of the pass for 12; a screen reader's
    // request that comes with it is answered during the wait itself.
    Fensterattrappe F;
    std::string Gelesen, Tag_beim_Lesen;
    int Gelesen_im_Durchgang = 0;
    bool Eingereiht = false;
    F.Bei_Uhrlesung = [&](Fensterattrappe& G) {
        if (G.Form.Zahl == 10 && !Eingereiht) {
            Eingereiht = true;
            G.Eingaben.push_back([](Fensterattrappe& H) { H.Form.cmdNotbremse_Click(); });
            G.Anfragen.push_back([&](Fensterattrappe& H) {
                Gelesen = H.Text1_Lesen();
                Tag_beim_Lesen = H.NotbremseTag_Lesen();
                Gelesen_im_Durchgang = H.Verarbeitungen;
            });
        }
    };
    F.Form.cmdStart_Click();
    EXPECT_EQ(Gelesen, Frage + Zeilen(6, 8));
    EXPECT_EQ(Tag_beim_Lesen, "0");
    EXPECT_EQ(Gelesen_im_Durchgang, Verarbeitung_fuer(10));
    EXPECT_EQ(F.Verarbeitungen, Verarbeitung_fuer(12));
    EXPECT_EQ(F.Text, Frage + Zeilen(6, 10));
    EXPECT_EQ(F.Tag, "0");
    // Rested before every reading of the clock but each wait's first (four waits: 6 to 12), and
    // read it no more than twice a wait: the wait does not spin.
    EXPECT_EQ(F.Ruhepausen, F.Uhrlesungen - 4);
    EXPECT_LE(F.Uhrlesungen, 2 * 4);
}

TEST(Lauf, BremseBeiEinemVielfachenVonZwanzigLaesstDenKastenLeer) {
    Fensterattrappe F;
    F.Bremse_bei(Verarbeitung_fuer(20));
    F.Form.cmdStart_Click();
    EXPECT_EQ(F.Text, "");
    EXPECT_EQ(F.Ersetzungen.back(), "");
    EXPECT_EQ(F.Tag, "0");
}

TEST(Lauf, ZweiBremsenInEinemDurchgangWirkenWieEine_UndDerNaechsteLaufBeginntBeiSechs) {
    Fensterattrappe F;
    F.Bremse_bei(3);
    F.Bremse_bei(3);
    F.Form.cmdStart_Click();
    EXPECT_EQ(F.Text, Frage + Zeilen(6, 8));
    EXPECT_EQ(F.Tag, "0");

    F.Ersetzungen.clear();
    F.Bremse_bei(F.Verarbeitungen + 3);
    F.Form.cmdStart_Click();
    EXPECT_EQ(F.Ersetzungen.front(), Frage);
    EXPECT_EQ(F.Text, Frage + Zeilen(6, 8));
    EXPECT_EQ(F.Tag, "0");
}

TEST(Lauf, ZweiterStartSchachteltEinenLaufEin) {
    Fensterattrappe F;
    F.Start_bei(3);  // the outer run has written 6 and 8; the inner run begins at processing 4
    F.Bremse_bei(7); // inner run: 6 (4), 8 (5), 10 (6), 12 (7) -> stops after the line for 10
    std::string Nach_innerem_Lauf;
    F.Bei(8, [&](Fensterattrappe& G) { Nach_innerem_Lauf = G.Text; });
    F.Bremse_bei(9); // the outer run goes on with 12, not with its own 10: 12 (3), 14 (8), 16 (9)
    F.Form.cmdStart_Click();

    EXPECT_EQ(Nach_innerem_Lauf, Frage + Zeilen(6, 12));
    EXPECT_EQ(F.Text, Frage + Zeilen(6, 14));
    EXPECT_EQ(F.Tag, "0");
    EXPECT_EQ(F.Verarbeitungen, 9);
}

TEST(Lauf, GetippterTextBleibtUndDieZeileFolgtDirekt) {
    Fensterattrappe F;
    F.Bei(2, [](Fensterattrappe& G) { G.Text += "Goldbach?"; });
    F.Bremse_bei(3);
    F.Form.cmdStart_Click();
    EXPECT_EQ(F.Text, Frage + Zeilen(6, 6) + "Goldbach?" + Zeilen(8, 8));
}

TEST(Lauf, SchliessenBeendetJedenLaufBeimNaechstenVerarbeiten) {
    {
        Fensterattrappe F;
        F.Bei(3, [](Fensterattrappe& G) { G.Geschlossen = true; });
        F.Form.cmdStart_Click();
        EXPECT_EQ(F.Verarbeitungen, 3);
        EXPECT_EQ(F.Text, Frage + Zeilen(6, 8));
    }
    {
        Fensterattrappe F;
        F.Start_bei(2);
        F.Bei(4, [](Fensterattrappe& G) { G.Geschlossen = true; });
        F.Form.cmdStart_Click();
        EXPECT_EQ(F.Verarbeitungen, 4);          // neither run processes events again
        EXPECT_EQ(F.Text, Frage + Zeilen(6, 6)); // the inner run's question and its first line
    }
}

TEST(Lauf, ErschoepfteSucheKehrtSofortZurueck) {
    // Only a number without any decomposition gets here; 0 is one (its one candidate fails).
    Fensterattrappe F;
    F.Bei(2, [](Fensterattrappe& G) { G.Form.Zahl = 0; });
    F.Form.cmdStart_Click();
    EXPECT_EQ(F.Text, ""); // cleared (0 is a multiple of 20), and nothing written
    EXPECT_EQ(F.Verarbeitungen, 2);
    EXPECT_TRUE(F.Tagersetzungen.empty()); // the flag is left as it was
}

TEST(Lauf, UeberlaufMeldetLaufzeitfehler) {
    // 2147483644 is the last number before the top whose line can be written and after which
    // Zahl + 2 still fits; the next pass decomposes 2147483646 and then cannot go on.
    Fensterattrappe F;
    F.Bei(1, [](Fensterattrappe& G) { G.Form.Zahl = 2147483646; });
    try {
        F.Form.cmdStart_Click();
        FAIL() << "the run went past 2147483647";
    } catch (const Programmende& Ende) {
        EXPECT_NE(Ende.Meldung.find("berlauf"), std::string::npos);
    }
    EXPECT_EQ(F.Form.Zahl, 2147483646);
    EXPECT_NE(F.Text.find(" 2147483646 ="), std::string::npos);
}

namespace {

// Runs one wait on the fake clock and gives how long it lasted in clock seconds.
double Wartedauer(Fensterattrappe& F) {
    const double Vorher = F.Zeit;
    F.Form.Eine_Sekunde_Warten();
    return F.Zeit - Vorher;
}

} // namespace

TEST(Warten, EineSekundeAuchUeberMitternachtUndBeiZurueckgestellterUhr) {
    // Each wait rests until its second could be over and reads the clock a bounded number of
    // times, also when other programs' requests wake the window every 10 ms.
    for (const double Hoechste_Ruhe : {1e9, 0.01}) {
        const int Lesungen = Hoechste_Ruhe > 1 ? 2 : 102;
        {
            Fensterattrappe F; // an ordinary second
            F.Schritt = 0.001;
            F.Hoechste_Ruhe = Hoechste_Ruhe;
            EXPECT_NEAR(Wartedauer(F), 1.0, 0.003);
            EXPECT_LE(F.Uhrlesungen, Lesungen);
        }
        {
            Fensterattrappe F; // begun 0.3 s before midnight
            F.Schritt = 0.001;
            F.Hoechste_Ruhe = Hoechste_Ruhe;
            F.Tageszeit_Anfang = 86400.0 - 0.3;
            EXPECT_NEAR(Wartedauer(F), 1.0, 0.01); // a float resolves 1/128 s late in the day
            EXPECT_LE(F.Uhrlesungen, Lesungen + 2);
        }
        for (const double Vor_Mitternacht : {0.001, 0.5, 0.999, 1.0}) {
            Fensterattrappe F;
            F.Schritt = 0.01;
            F.Hoechste_Ruhe = Hoechste_Ruhe;
            F.Tageszeit_Anfang = 86400.0 - Vor_Mitternacht;
            // Up to three readings of 0.01 s each, one of them across midnight.
            EXPECT_NEAR(Wartedauer(F), 1.0, 0.035) << Vor_Mitternacht << " s before midnight";
        }
        {
            Fensterattrappe F; // the clock set back one hour during the wait
            F.Schritt = 0.001;
            F.Hoechste_Ruhe = Hoechste_Ruhe > 1 ? 0.3 : Hoechste_Ruhe;
            F.Bei_Uhrlesung = [](Fensterattrappe& G) {
                if (G.Uhrlesungen == 2) {
                    G.Tageszeit_Anfang -= 3600.0;
                }
            };
            EXPECT_NEAR(Wartedauer(F), 1.0, 0.003);
        }
    }
    {
        // The clock stands still for its first 100 readings, however long the window rests
        // between them, then moves on: the wait ends one second of clock time later.
        Fensterattrappe F;
        F.Schritt = 0.001;
        F.Bei_Uhrlesung = [](Fensterattrappe& G) {
            if (G.Uhrlesungen < 100) {
                G.Tageszeit_Anfang = 36000.0 - G.Zeit;
            }
        };
        EXPECT_NEAR(Wartedauer(F), 100.0, 0.2);
        EXPECT_LE(F.Uhrlesungen, 102);
    }
}

TEST(Warten, EinLaufUeberMitternacht) {
    Fensterattrappe F;
    F.Schritt = 0.01;
    F.Tageszeit_Anfang = 86400.0 - 2.5;
    F.Bremse_bei(Verarbeitung_fuer(16));
    F.Form.cmdStart_Click();
    EXPECT_EQ(F.Text, Frage + Zeilen(6, 14));
    // Six seconds of waiting, midnight among them: each wait two readings of the clock, and up
    // to half a step of the float (1/128 s late in the day) off.
    EXPECT_NEAR(F.Zeit, 6.0, 6 * (2 * F.Schritt + 1.0 / 256));
}

TEST(Warten, VergleichInEinfacherGenauigkeit) {
    // Begun at 65535 + 1/256 s: Startzeit + 1 lies halfway between the floats 65536 and
    // 65536 + 1/128 and rounds to 65536. A reading shows 65536 from 65536 - 1/512 on (the floats
    // below 65536 lie 1/256 apart), so the window rests 1018/1024 s, and the wait ends at the
    // reading after that, 1020/1024 s after the start (the fast clock runs 1/1024 s at each
    // reading). Compared in double precision it would rest on past 65536 + 1/256 and wait for a
    // reading of 65536 + 1/128, some 1030/1024 s after the start.
    Fensterattrappe F;
    F.Schritt = 1.0 / 1024;
    F.Tageszeit_Anfang = 65535.0 + 1.0 / 256;
    EXPECT_EQ(Wartedauer(F), 1020.0 / 1024);
    EXPECT_EQ(F.Form.Startzeit, 65535.0 + 1.0 / 256);
}
