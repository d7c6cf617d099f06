// What frmGoldbach needs of the window around it. Each toolkit front end provides these few
// operations; the behaviour in frmGoldbach.cpp knows nothing else of the window system.
#pragma once

#include <string>

class Fensterdienste {
public:
    virtual ~Fensterdienste() = default;

    // Handles every window event waiting in the queue (clicks, keystrokes, repaints) and returns.
    // A click handler, or a whole nested run, may run inside this call.
    virtual void EreignisseVerarbeiten() = 0;

    // Rests the window's thread during the one-second wait, for at most Sekunden seconds (0
    // included), and gives back how long it rested, on a clock that never goes back. While it
    // rests it answers what other programs ask of the window, a screen reader's requests above
    // all, at least once and at once when one comes, and nothing else: no click, keystroke,
    // repaint or timer is handled here, and no handler runs (a browser paints the page and takes
    // typing into the box meanwhile, as it does by itself; the clicks still wait). It may return
    // before Sekunden have passed; the wait then reads the clock and rests again for what is
    // left, so it neither keeps a processor busy nor ends later than its first reading past its
    // second.
    virtual double Ruhen(double Sekunden) = 0;

    // Local time of day in seconds since midnight, single precision with a fractional part.
    virtual float Uhrzeit() = 0;

    // The text of Text1 as a whole: UTF-8, every line break a CR LF, exactly as written or typed.
    virtual std::string Text1_Lesen() = 0;
    // Replaces the text of Text1; the box shows the new text before this returns.
    virtual void Text1_Ersetzen(const std::string& Text) = 0;
    // Adds a line after whatever Text1 holds, what the user typed included; the box shows it
    // before this returns. Unless a window has a way of its own, the text is read, the line
    // added and the whole replaced.
    virtual void Text1_Anhaengen(const std::string& Zeile) {
        Text1_Ersetzen(Text1_Lesen() + Zeile);
    }

    // The tag text of cmdNotbremse, which carries the brake flag.
    virtual std::string NotbremseTag_Lesen() = 0;
    virtual void NotbremseTag_Ersetzen(const std::string& Tag) = 0;

    // Reports an unhandled run-time error to the user (in German) and ends the program with a
    // non-zero status. Does not return.
    [[noreturn]] virtual void Laufzeitfehler(const std::string& Meldung) = 0;

    // True once the window is being closed: every run still active then ends at its next
    // event processing.
    virtual bool WirdGeschlossen() = 0;
};
