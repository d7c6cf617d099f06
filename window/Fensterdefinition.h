// The window frmGoldbach as data, read by every toolkit front end: caption, client size, the
// three controls in tab order with their places (in twips, 1440 to the inch), fonts and contents,
// and the question that a run writes first (Frage). The data stand in Fensterdefinition.json,
// which the build turns into Fensterdefinition_Daten.h and which scripts read as they are; this
// header gives them their types.
#pragma once

#include <array>
#include <string_view>

namespace Fensterdefinition {

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
    // What a screen reader calls the control; empty for a button, which is called by its
    // caption.
    std::string_view Zugangsname;
};

// What a definition gives for a name it lacks: no name, no place, no content.
inline constexpr Steuerelement Kein_Steuerelement{};

struct Definition {
    std::string_view Beschriftung;
    int Innenbreite, Innenhoehe; // client area, twips
    // In tab order: every front end takes the order of Tab from this list, and finds a control
    // by its name, never by its place in it.
    std::array<Steuerelement, 3> Steuerelemente;
    std::string_view Fokus; // the control that has the focus when the window opens

    // The place of the control of that name in the list, -1 for a name not in it.
    constexpr int Stelle(std::string_view Name) const {
        for (std::size_t Index = 0; Index < Steuerelemente.size(); ++Index) {
            if (Steuerelemente[Index].Name == Name) {
                return static_cast<int>(Index);
            }
        }
        return -1;
    }
    // The control of that name, Kein_Steuerelement for a name not in the list.
    constexpr const Steuerelement& Element(std::string_view Name) const {
        const int Index = Stelle(Name);
        return Index < 0 ? Kein_Steuerelement : Steuerelemente[static_cast<std::size_t>(Index)];
    }
};

// Twips to pixels at a screen density in dots per inch, rounded to the nearest pixel: at 96 dpi
// 15 twips make a pixel.
constexpr int Pixel(int Twips, int Dpi = 96) {
    return static_cast<int>((static_cast<long long>(Twips) * Dpi + 720) / 1440);
}

// A control's place and size in pixels: left, top, width, height.
using Pixelrechteck = std::array<int, 4>;

constexpr Pixelrechteck Pixel(const Steuerelement& Element, int Dpi = 96) {
    return {Pixel(Element.Links, Dpi), Pixel(Element.Oben, Dpi), Pixel(Element.Breite, Dpi),
            Pixel(Element.Hoehe, Dpi)};
}

// A font's height in pixels at a screen density, rounded to the nearest pixel from tenths of a
// point (72 points to the inch): 19.5 pt are 26 pixels at 96 dpi.
constexpr int Schriftpixel(double Punkt, int Dpi = 96) {
    const auto Zehntel = static_cast<long long>(Punkt * 10.0 + 0.5);
    return static_cast<int>((Zehntel * Dpi + 360) / 720);
}

} // namespace Fensterdefinition

// Fensterdefinition::Standard, the window as the program shows it.
#include "Fensterdefinition_Daten.h"
