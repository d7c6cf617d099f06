#include "frmGoldbachWeb.h"

#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

// The page's side of each service is a function of Seite.js; these are the calls into it.
// Texts go into the page as UTF-8 with their length; the page gives a text back as a new UTF-8
// string (stringToNewUTF8), which the program frees. A control goes into the page as one JSON
// object with named fields.
// clang-format off
EM_JS(void, Seite_Fenster, (const char* Json, int Laenge), {
    Seite.fenster(JSON.parse(UTF8ToString(Json, Laenge)));
});
EM_JS(void, Seite_Element, (const char* Json, int Laenge), {
    Seite.element(JSON.parse(UTF8ToString(Json, Laenge)));
});
EM_JS(void, Seite_Zeigen, (), { Seite.zeigen(); });
EM_ASYNC_JS(int, Seite_Abgeben, (), { return await Seite.abgeben(); });
EM_ASYNC_JS(int, Seite_Abwarten, (), { return await Seite.abwarten(); });
EM_ASYNC_JS(double, Seite_Ruhen, (double Sekunden), { return await Seite.ruhen(Sekunden); });
EM_JS(int, Seite_Naechstes, (int Bis), { return Seite.naechstes(Bis); });
EM_JS(double, Seite_Uhrzeit, (), { return Seite.uhrzeit(); });
EM_JS(char*, Seite_Text1_Lesen, (), { return stringToNewUTF8(Seite.text1Lesen()); });
EM_JS(void, Seite_Text1_Ersetzen, (const char* Text, int Laenge), {
    Seite.text1Ersetzen(UTF8ToString(Text, Laenge));
});
EM_JS(void, Seite_Text1_Anhaengen, (const char* Zeile, int Laenge), {
    Seite.text1Anhaengen(UTF8ToString(Zeile, Laenge));
});
EM_ASYNC_JS(void, Seite_Malen, (), { await Seite.malen(); });
EM_JS(char*, Seite_Tag_Lesen, (), { return stringToNewUTF8(Seite.tagLesen()); });
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

// A text the page gave as a new string, taken over and freed.
std::string Uebernehmen(char* Text) {
    std::string Kopie(Text);
    std::free(Text);
    return Kopie;
}

// The clicks as the page queues them: each button is told its code when it is made, one more
// than its place in the definition, and the page answers Keines when no click is queued.
constexpr int Keines = 0;

// A text as a JSON string.
std::string Json(std::string_view Text) {
    std::string Aus = "\"";
    for (const char Zeichen : Text) {
        if (Zeichen == '"' || Zeichen == '\\') {
            Aus += '\\';
            Aus += Zeichen;
        } else if (static_cast<unsigned char>(Zeichen) < 0x20) {
            char Flucht[8];
            std::snprintf(Flucht, sizeof Flucht, "\\u%04x", static_cast<unsigned>(Zeichen));
            Aus += Flucht;
        } else {
            Aus += Zeichen;
        }
    }
    return Aus + '"';
}

std::string Json(bool Wert) {
    return Wert ? "true" : "false";
}

std::string Json(double Wert) {
    char Zahl[32];
    std::snprintf(Zahl, sizeof Zahl, "%.17g", Wert);
    return Zahl;
}

std::string Json(int Wert) {
    return std::to_string(Wert);
}

} // namespace

frmGoldbachWeb::frmGoldbachWeb() : Goldbachfenster(Fensterdefinition::Standard) {
    using Fensterdefinition::Pixel;
    const std::string Fenster = "{\"Beschriftung\":" + Json(Definition.Beschriftung) +
                                ",\"Breite\":" + Json(Pixel(Definition.Innenbreite)) +
                                ",\"Hoehe\":" + Json(Pixel(Definition.Innenhoehe)) +
                                ",\"Fokus\":" + Json(Definition.Fokus) +
                                ",\"Textfeld\":" + Json(Fensterdefinition::Namen::Text1) +
                                ",\"Flagge\":" + Json(Fensterdefinition::Namen::cmdNotbremse) +
                                ",\"KeinKlick\":" + Json(Keines) + "}";
    Seite_Fenster(Fenster.data(), Laenge(Fenster));
    // Made in the definition's order, so that the page's order is the tab order.
    int Code = Keines;
    for (const auto& E : Definition.Steuerelemente) {
        const auto& S = E.Schrift;
        const bool Textfeld = E.Typ == Fensterdefinition::Art::Textfeld;
        ++Code;
        const std::string Element =
            "{\"Name\":" + Json(E.Name) + ",\"Textfeld\":" + Json(Textfeld) +
            ",\"Klick\":" + Json(Code) + ",\"Links\":" + Json(Pixel(E.Links)) +
            ",\"Oben\":" + Json(Pixel(E.Oben)) + ",\"Breite\":" + Json(Pixel(E.Breite)) +
            ",\"Hoehe\":" + Json(Pixel(E.Hoehe)) + ",\"Inhalt\":" + Json(E.Inhalt) +
            ",\"Tag\":" + Json(E.Tag) + ",\"Schrift\":" + Json(S.Name) +
            ",\"Punkt\":" + Json(S.Punkt) + ",\"Gewicht\":" + Json(S.Gewicht) +
            ",\"Kursiv\":" + Json(S.Kursiv) + ",\"Unterstrichen\":" + Json(S.Unterstrichen) +
            ",\"Durchgestrichen\":" + Json(S.Durchgestrichen) +
            ",\"Zugangsname\":" + Json(E.Zugangsname) + "}";
        Seite_Element(Element.data(), Laenge(Element));
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
        const auto Stelle = static_cast<std::size_t>(Seite_Naechstes(Bis) - 1);
        if (Stelle >= Definition.Steuerelemente.size()) {
            return; // Keines
        }
        Klicken(Definition.Steuerelemente[Stelle].Name);
    }
}

void frmGoldbachWeb::EreignisseVerarbeiten() {
    // The page paints and takes its input while the program waits here; then the clicks that
    // came in meanwhile run their handlers.
    Ausliefern(Seite_Abgeben());
}

double frmGoldbachWeb::Ruhen(double Sekunden) {
    // The program gives the thread back to the browser until the time is up: the page paints
    // and scrolls, and the browser brings its copy for screen readers up to date and answers
    // them. The page's handlers only queue clicks, so no handler runs before the run's next
    // event processing.
    return Seite_Ruhen(Sekunden);
}

float frmGoldbachWeb::Uhrzeit() {
    return static_cast<float>(Seite_Uhrzeit());
}

std::string frmGoldbachWeb::Text1_Lesen() {
    return Uebernehmen(Seite_Text1_Lesen());
}

void frmGoldbachWeb::Text1_Ersetzen(const std::string& Text) {
    Seite_Text1_Ersetzen(Text.data(), Laenge(Text));
    // The run may not let the page paint again for a second or more: show the text now.
    Seite_Malen();
}

void frmGoldbachWeb::Text1_Anhaengen(const std::string& Zeile) {
    Seite_Text1_Anhaengen(Zeile.data(), Laenge(Zeile));
    Seite_Malen();
}

std::string frmGoldbachWeb::NotbremseTag_Lesen() {
    return Uebernehmen(Seite_Tag_Lesen());
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
