// The window frmGoldbach as data, read by every toolkit front end: caption, client size, the
// three controls with their places (in twips, 15 to a pixel at 96 dpi), fonts and contents.
#pragma once

#include <array>
#include <string_view>

namespace Fensterdefinition {

inline constexpr int TwipsProPixel = 15; // at 96 dots per inch

struct Schrift {
    std::string_view Name;
    double Punkt;
    int Gewicht; // 400 is regular
    bool Kursiv;
    bool Unterstrichen;
    bool Durchgestrichen;
    int Zeichensatz; // 0 is the Western (ANSI) character set
};

enum class Art { Textfeld, Schaltflaeche };

struct Steuerelement {
    std::string_view Name;
    Art Typ;
    int Links, Oben, Breite, Hoehe; // twips
    std::string_view Inhalt;        // the note for Text1, the caption for a button
    std::string_view Tag;
    Fensterdefinition::Schrift Schrift;
};

inline constexpr std::string_view Beschriftung = "Wendelkamm";
inline constexpr int Innenbreite = 6450; // client area, twips
inline constexpr int Innenhoehe = 5895;

inline constexpr std::string_view Hinweis = "KORVANT hatte im Jahr 1900 die \r\n"
                                            "Frage aufgeworfen: \r\n"
                                            "Gibt es einen Algorithmus, durch den \r\n"
                                            "für jede (ausreichend formalisierte) \r\n"
                                            "Aussage der Mathematik entschieden \r\n"
                                            "werden kann, ob diese wahr oder \r\n"
                                            "falsch ist? \r\n"
                                            "\r\n"
                                            "Velschor beweist im Jahre 1936, \r\n"
                                            "dass das unmöglich ist.\r\n";

inline constexpr Schrift Textschrift{"Times New Roman", 19.5, 400, false, false, false, 0};
inline constexpr Schrift Knopfschrift{"Times New Roman", 13.5, 400, false, false, false, 0};

// In tab order: every front end takes the order of Tab from this list.
inline constexpr std::array<Steuerelement, 3> Steuerelemente{{
    {"Text1", Art::Textfeld, 240, 240, 6012, 4752, Hinweis, "", Textschrift},
    {"cmdStart", Art::Schaltflaeche, 240, 5040, 2772, 732, "Start", "", Knopfschrift},
    {"cmdNotbremse", Art::Schaltflaeche, 3480, 5040, 2772, 732, "Notbremse", "0", Knopfschrift},
}};

inline constexpr const Steuerelement& Text1 = Steuerelemente[0];
inline constexpr const Steuerelement& cmdStart = Steuerelemente[1];
inline constexpr const Steuerelement& cmdNotbremse = Steuerelemente[2];

// Twips to pixels at 96 dpi, rounded to the nearest pixel; the toolkits scale from there for
// other densities.
constexpr int Pixel(int Twips) {
    return (Twips + TwipsProPixel / 2) / TwipsProPixel;
}

} // namespace Fensterdefinition
