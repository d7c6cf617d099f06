#include "frmGoldbachWeb.h"

#include "Fensterdefinition.h"

#include <emscripten.h>

#include <string_view>

// The page's side of each service is a function of Seite.js; these are the calls into it.
// Texts cross as UTF-8: into the page as a pointer and a length, out of it in two steps (the
// page keeps the text between asking for its length and copying it).

// clang-format off
EM_JS(void, Seite_Fenster, (const char* Titel, int Titellaenge, int Breite, int Hoehe), {
    Seite.fenster(UTF8ToString(Titel, Titellaenge), Breite, Hoehe);
});
EM_JS(void, Seite_Element, (const char* Name, int Namenslaenge, int Art, int Links, int Oben,
                            int Breite, int Hoehe, const char* Inhalt, int Inhaltslaenge,
                            const char* Tag, int Taglaenge, const char* Schrift,
                            int Schriftlaenge, double Punkt, int Gewicht, int Kursiv,
                            int Unterstrichen, int Durchgestrichen), {
    Seite.element(UTF8ToString(Name, Namenslaenge), Art, Links, Oben, Breite, Hoehe,
                  UTF8ToString(Inhalt, Inhaltslaenge), UTF8ToString(Tag, Taglaenge),
                  UTF8ToString(Schrift, Schriftlaenge), Punkt, Gewicht, Kursiv,
                  Unterstrichen, Durchgestrichen);
});
EM_JS(void, Seite_Zeigen, (), { Seite.zeigen(); });
EM_ASYNC_JS(int, Seite_Abgeben, (), { return await Seite.abgeben(); });
EM_ASYNC_JS(int, Seite_Abwarten, (), { return await Seite.abwarten(); });
EM_JS(int, Seite_Naechstes, (int Bis), { return Seite.naechstes(Bis); });
EM_JS(double, Seite_Uhrzeit, (), { return Seite.uhrzeit(); });
EM_JS(int, Seite_Text1_Laenge, (), { return Seite.vorhalten(Seite.text1Lesen()); });
EM_JS(int, Seite_Tag_Laenge, (), { return Seite.vorhalten(Seite.tagLesen()); });
EM_JS(void, Seite_Kopieren, (char* Ziel, int Laenge), { Seite.kopieren(Ziel, Laenge); });
EM_JS(void, Seite_Text1_Setzen, (const char* Text, int Laenge), {
    Seite.text1Setzen(UTF8ToString(Text, Laenge));
});
EM_ASYNC_JS(void, Seite_Malen, (), { await Seite.malen(); });
EM_JS(void, Seite_Tag_Setzen, (const char* Tag, int Laenge), {
    Seite.tagSetzen(UTF8ToString(Tag, Laenge));
});
EM_JS(void, Seite_Laufzeitfehler, (const char* Meldung, int Laenge), {
    Seite.laufzeitfehler(UTF8ToString(Meldung, Laenge));
});
EM_ASYNC_JS(void, Seite_Nie, (), { await new Promise(() => {}); });
EM_JS(int, Seite_Geschlossen, (), { return Seite.geschlossen ? 1 : 0; });
// clang-format on

namespace {

int Laenge(std::string_view Text) {
    return static_cast<int>(Text.size());
}

// The text the page holds ready after Seite_Text1_Laenge or Seite_Tag_Laenge.
std::string Vorgehalten(int Bytes) {
    std::string Text(static_cast<std::size_t>(Bytes), '\0');
    Seite_Kopieren(Text.data(), Bytes);
    return Text;
}

enum Ereignis { Keines = 0, Start_Klick = 1, Notbremse_Klick = 2 };

} // namespace

frmGoldbachWeb::frmGoldbachWeb() {
    namespace D = Fensterdefinition;
    Seite_Fenster(D::Beschriftung.data(), Laenge(D::Beschriftung), D::Pixel(D::Innenbreite),
                  D::Pixel(D::Innenhoehe));
    // The controls are made in tab order, so that the page's order is the tab order.
    for (const auto& E : D::Steuerelemente) {
        const auto& S = E.Schrift;
        Seite_Element(E.Name.data(), Laenge(E.Name), E.Typ == D::Art::Textfeld ? 0 : 1,
                      D::Pixel(E.Links), D::Pixel(E.Oben), D::Pixel(E.Breite), D::Pixel(E.Hoehe),
                      E.Inhalt.data(), Laenge(E.Inhalt), E.Tag.data(), Laenge(E.Tag), S.Name.data(),
                      Laenge(S.Name), S.Punkt, S.Gewicht, S.Kursiv, S.Unterstrichen,
                      S.Durchgestrichen);
    }
    Seite_Zeigen();
}

void frmGoldbachWeb::Ereignisschleife() {
    while (!WirdGeschlossen()) {
        Ausliefern(Seite_Abwarten());
    }
}

void frmGoldbachWeb::Ausliefern(int Bis) {
    // A Start delivered here runs a whole run, whose own event processing takes the clicks
    // that come after it; what is left when it returns is delivered here, in order.
    while (!WirdGeschlossen()) {
        switch (Seite_Naechstes(Bis)) {
        case Start_Klick:
            Goldbach.cmdStart_Click();
            break;
        case Notbremse_Klick:
            Goldbach.cmdNotbremse_Click();
            break;
        default:
            return;
        }
    }
}

void frmGoldbachWeb::EreignisseVerarbeiten() {
    // The page paints and takes its input while the program waits here; then the clicks that
    // came in meanwhile run their handlers.
    Ausliefern(Seite_Abgeben());
}

float frmGoldbachWeb::Uhrzeit() {
    return static_cast<float>(Seite_Uhrzeit());
}

std::string frmGoldbachWeb::Text1_Lesen() {
    return Vorgehalten(Seite_Text1_Laenge());
}

void frmGoldbachWeb::Text1_Ersetzen(const std::string& Text) {
    Seite_Text1_Setzen(Text.data(), Laenge(Text));
    // The run may not let the page paint again for a second or more: show the text now.
    Seite_Malen();
}

std::string frmGoldbachWeb::NotbremseTag_Lesen() {
    return Vorgehalten(Seite_Tag_Laenge());
}

void frmGoldbachWeb::NotbremseTag_Ersetzen(const std::string& Tag) {
    Seite_Tag_Setzen(Tag.data(), Laenge(Tag));
}

void frmGoldbachWeb::Laufzeitfehler(const std::string& Meldung) {
    Seite_Laufzeitfehler(Meldung.data(), Laenge(Meldung));
    // The program ends here for good: it never resumes, and the page takes no more clicks.
    for (;;) {
        Seite_Nie();
    }
}

bool frmGoldbachWeb::WirdGeschlossen() {
    return Seite_Geschlossen() != 0;
}
