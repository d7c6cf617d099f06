// The window's definition, value by value: the one place where its values are written by hand.
// Every front end's test takes what it expects from the definition; a control moved in
// Fensterdefinition.json is moved in this table too, and nowhere else.
#include "Goldbachfenster.h"

#include <gtest/gtest.h>

#include <array>

namespace D = Fensterdefinition;

TEST(Fensterdefinition, FensterFokusUndFrage) {
    const D::Definition& F = D::Standard;
    EXPECT_EQ(F.Beschriftung, "Wendelkamm");
    // The client area: 15 twips to the pixel at 96 dpi, 10 at 144.
    EXPECT_EQ((std::array{F.Innenbreite, F.Innenhoehe}), (std::array{6450, 5895}));
    EXPECT_EQ((std::array{D::Pixel(F.Innenbreite), D::Pixel(F.Innenhoehe)}),
              (std::array{430, 393}));
    EXPECT_EQ((std::array{D::Pixel(F.Innenbreite, 144), D::Pixel(F.Innenhoehe, 144)}),
              (std::array{645, 590}));
    EXPECT_EQ(F.Fokus, "Text1");
    EXPECT_EQ(std::string_view(D::Frage), "Terminiert dieser Algorithmus?\r\n");
}

TEST(Fensterdefinition, SteuerelementeInTabulatorfolge) {
    struct Zeile {
        std::string_view Name;
        D::Art Typ;
        std::array<int, 4> Twips;                 // left, top, width, height
        D::Pixelrechteck Bei_96_Dpi, Bei_144_Dpi; // the same in pixels
        double Punkt;                    // Times New Roman, regular, Western (ANSI) character set
        std::array<int, 2> Schriftpixel; // at 96 and 144 dpi
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
        {"Text1",        D::Art::Textfeld,      {240, 240, 6012, 4752},  {16, 16, 401, 317},
         {24, 24, 601, 475},   19.5, {26, 39}, Hinweis,     "",  "Notiz und Lauf"},
        {"cmdStart",     D::Art::Schaltflaeche, {240, 5040, 2772, 732},  {16, 336, 185, 49},
         {24, 504, 277, 73},   13.5, {18, 27}, "Start",     "",  ""},
        {"cmdNotbremse", D::Art::Schaltflaeche, {3480, 5040, 2772, 732}, {232, 336, 185, 49},
         {348, 504, 277, 73},  13.5, {18, 27}, "Notbremse", "0", ""},
    };
    // clang-format on
    ASSERT_EQ(std::size(Tabelle), D::Standard.Steuerelemente.size());
    for (std::size_t Tabindex = 0; Tabindex < std::size(Tabelle); ++Tabindex) {
        const Zeile& Z = Tabelle[Tabindex];
        const D::Steuerelement& E = D::Standard.Steuerelemente[Tabindex];
        const D::Schrift& S = E.Schrift;
        SCOPED_TRACE(Z.Name);
        EXPECT_EQ(E.Name, Z.Name);
        EXPECT_EQ(E.Typ, Z.Typ);
        EXPECT_EQ((std::array{E.Links, E.Oben, E.Breite, E.Hoehe}), Z.Twips);
        EXPECT_EQ(D::Pixel(E), Z.Bei_96_Dpi);
        EXPECT_EQ(D::Pixel(E, 144), Z.Bei_144_Dpi);
        EXPECT_EQ(S.Name, "Times New Roman");
        EXPECT_EQ(S.Punkt, Z.Punkt);
        EXPECT_EQ(S.Gewicht, 400);
        EXPECT_FALSE(S.Kursiv || S.Unterstrichen || S.Durchgestrichen);
        EXPECT_EQ(S.Zeichensatz, 0);
        EXPECT_EQ((std::array{D::Schriftpixel(S.Punkt), D::Schriftpixel(S.Punkt, 144)}),
                  Z.Schriftpixel);
        EXPECT_EQ(E.Inhalt, Z.Inhalt);
        EXPECT_EQ(E.Tag, Z.Tag);
        EXPECT_EQ(E.Zugangsname, Z.Zugangsname);
    }
}

TEST(Fensterdefinition, UnbrauchbareWirdMitIhremMangelAbgelehnt) {
    // Each definition lacks what the program needs: every front end that takes a definition
    // refuses it with this message before it builds a window.
    D::Definition Ohne_cmdStart = D::Standard, Text1_ein_Knopf = D::Standard,
                  Fokus_daneben = D::Standard;
    Ohne_cmdStart.Steuerelemente[1].Name = "cmdStarten";
    Text1_ein_Knopf.Steuerelemente[0].Typ = D::Art::Schaltflaeche;
    Fokus_daneben.Fokus = "Text2";
    for (const auto& [Verdorben, Meldung] :
         {std::pair{Ohne_cmdStart, "Die Schaltfläche cmdStart fehlt."},
          {Text1_ein_Knopf, "Das Textfeld Text1 fehlt."},
          {Fokus_daneben, "Der Fokus liegt auf Text2, das kein Steuerelement des Fensters ist."}}) {
        EXPECT_FALSE(Goldbachfenster::Pruefen(Verdorben).Tauglich()) << Meldung;
        EXPECT_EQ(Goldbachfenster::Mangel(Verdorben),
                  std::string("Die Fensterdefinition taugt nicht: ") + Meldung);
    }
    EXPECT_TRUE(Goldbachfenster::Pruefen(D::Standard).Tauglich());
    EXPECT_EQ(Goldbachfenster::Mangel(D::Standard), "");
}
