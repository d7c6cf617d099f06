// The window's definition, value by value: the one place where its values are written by hand.
// Every front end's test takes what it expects from the definition; a control moved in
// Fensterdefinition.json is moved in this table too, and nowhere else.
#include "Goldbachfenster.h"

#include <gtest/gtest.h>

#include <ostream>
#include <tuple>

namespace Fensterdefinition {

void PrintTo(const Pixelrechteck& R, std::ostream* Aus) {
    *Aus << R.Links << ", " << R.Oben << ", " << R.Breite << " x " << R.Hoehe;
}

} // namespace Fensterdefinition

namespace {

namespace D = Fensterdefinition;

} // namespace

TEST(Fensterdefinition, FensterFokusUndFrage) {
    EXPECT_EQ(D::Standard.Beschriftung, "Wendelkamm");
    // The client area: 15 twips to the pixel at 96 dpi, 10 at 144.
    EXPECT_EQ(std::tuple(D::Standard.Innenbreite, D::Standard.Innenhoehe), std::tuple(6450, 5895));
    EXPECT_EQ(std::tuple(D::Pixel(D::Standard.Innenbreite), D::Pixel(D::Standard.Innenhoehe)),
              std::tuple(430, 393));
    EXPECT_EQ(
        std::tuple(D::Pixel(D::Standard.Innenbreite, 144), D::Pixel(D::Standard.Innenhoehe, 144)),
        std::tuple(645, 590));
    EXPECT_EQ(D::Standard.Fokus, "Text1");
    EXPECT_EQ(std::string_view(D::Frage), "Terminiert dieser Algorithmus?\r\n");
}

TEST(Fensterdefinition, SteuerelementeInTabulatorfolge) {
    struct Zeile {
        std::string_view Name;
        D::Art Typ;
        int Links, Oben, Breite, Hoehe;              // twips
        D::Pixelrechteck Bei_96_Dpi, Bei_144_Dpi;    // pixels
        double Punkt;                                // Times New Roman, regular
        int Schrift_bei_96_Dpi, Schrift_bei_144_Dpi; // pixels
        std::string_view Inhalt, Tag, Zugangsname;
    };
    // The note: ten lines, each ending in CR LF.
    const std::string_view Hinweis = "KORVANT hatte im Jahr 1900 die \r\n"
                                     "Frage aufgeworfen: \r\n"
                                     "Gibt es einen Algorithmus, durch den \r\n"
                                     "für jede (ausreichend formalisierte) \r\n"
                                     "Aussage der Mathematik entschieden \r\n"
                                     "werden kann, ob diese wahr oder \r\n"
                                     "falsch ist? \r\n"
                                     "\r\n"
                                     "Velschor beweist im Jahre 1936, \r\n"
                                     "dass das unmöglich ist.\r\n";
    // clang-format off
    const Zeile Tabelle[] = {
        {"Text1",        D::Art::Textfeld,      240,  240,  6012, 4752, {16, 16, 401, 317},
         {24, 24, 601, 475},   19.5, 26, 39, Hinweis,     "",  "Notiz und Lauf"},
        {"cmdStart",     D::Art::Schaltflaeche, 240,  5040, 2772, 732,  {16, 336, 185, 49},
         {24, 504, 277, 73},   13.5, 18, 27, "Start",     "",  ""},
        {"cmdNotbremse", D::Art::Schaltflaeche, 3480, 5040, 2772, 732,  {232, 336, 185, 49},
         {348, 504, 277, 73},  13.5, 18, 27, "Notbremse", "0", ""},
    };
    // clang-format on
    ASSERT_EQ(std::size(Tabelle), D::Standard.Steuerelemente.size());
    for (std::size_t Tabindex = 0; Tabindex < std::size(Tabelle); ++Tabindex) {
        const Zeile& Z = Tabelle[Tabindex];
        const D::Steuerelement& E = D::Standard.Steuerelemente[Tabindex];
        SCOPED_TRACE(Z.Name);
        EXPECT_EQ(E.Name, Z.Name);
        EXPECT_EQ(E.Typ, Z.Typ);
        EXPECT_EQ(std::tuple(E.Links, E.Oben, E.Breite, E.Hoehe),
                  std::tuple(Z.Links, Z.Oben, Z.Breite, Z.Hoehe));
        EXPECT_EQ(D::Pixel(E), Z.Bei_96_Dpi);
        EXPECT_EQ(D::Pixel(E, 144), Z.Bei_144_Dpi);
        const D::Schrift& S = E.Schrift;
        EXPECT_EQ(S.Name, "Times New Roman");
        EXPECT_EQ(S.Punkt, Z.Punkt);
        EXPECT_EQ(S.Gewicht, 400);
        EXPECT_FALSE(S.Kursiv || S.Unterstrichen || S.Durchgestrichen);
        EXPECT_EQ(S.Zeichensatz, 0); // ANSI
        EXPECT_EQ(D::Schriftpixel(S.Punkt), Z.Schrift_bei_96_Dpi);
        EXPECT_EQ(D::Schriftpixel(S.Punkt, 144), Z.Schrift_bei_144_Dpi);
        EXPECT_EQ(E.Inhalt, Z.Inhalt);
        EXPECT_EQ(E.Tag, Z.Tag);
        EXPECT_EQ(E.Zugangsname, Z.Zugangsname);
    }
}

TEST(Fensterdefinition, UnbrauchbareWirdMitIhremMangelAbgelehnt) {
    // Each definition lacks what the program needs; every front end refuses it with this
    // message, in German, before it builds a window.
    struct Fall {
        void (*Verderben)(D::Definition&);
        const char* Meldung;
    };
    const Fall Faelle[] = {
        {[](D::Definition& Df) { Df.Steuerelemente[1].Name = "cmdStarten"; },
         "Die Schaltfläche cmdStart fehlt."},
        {[](D::Definition& Df) { Df.Steuerelemente[0].Typ = D::Art::Schaltflaeche; },
         "Das Textfeld Text1 fehlt."},
        {[](D::Definition& Df) { Df.Fokus = "Text2"; },
         "Der Fokus liegt auf Text2, das kein Steuerelement des Fensters ist."},
    };
    for (const auto& [Verderben, Meldung] : Faelle) {
        D::Definition Verdorben = D::Standard;
        Verderben(Verdorben);
        EXPECT_FALSE(Goldbachfenster::Pruefen(Verdorben).Tauglich()) << Meldung;
        EXPECT_EQ(Goldbachfenster::Mangel(Verdorben),
                  std::string("Die Fensterdefinition taugt nicht: ") + Meldung);
    }
    EXPECT_TRUE(Goldbachfenster::Pruefen(D::Standard).Tauglich());
    EXPECT_EQ(Goldbachfenster::Mangel(D::Standard), "");
}
