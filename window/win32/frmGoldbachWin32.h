// frmGoldbach as a native Windows window, with the Win32 API only: built from the window's
// definition, it provides the window services to the behaviour and binds the buttons' clicks to
// their handlers. Instance data hangs on the window (GWLP_USERDATA), one handler per message.
#pragma once

#include "Goldbachfenster.h"
#include "Ruheuhr.h"
#include "Zeichenketten.h"
#include "Zugang.h"

#include <optional>

class frmGoldbachWin32 : public Goldbachfenster {
public:
    // The window class's name, for FindWindow.
    static constexpr const wchar_t* Klassenname = L"frmGoldbach";

    // Built from a definition of the window: the program's own unless another is given.
    explicit frmGoldbachWin32(HINSTANCE Instanz, const Fensterdefinition::Definition& Definition =
                                                     Fensterdefinition::Standard);
    ~frmGoldbachWin32() override;
    frmGoldbachWin32(const frmGoldbachWin32&) = delete;
    frmGoldbachWin32& operator=(const frmGoldbachWin32&) = delete;

    // Registers the window class and creates the window with its controls (not yet shown). A
    // definition the window cannot be built from is refused with a message box, before any
    // window exists: no message handler meets it.
    bool Erzeugen();
    void Zeigen(int Anzeige);
    // The program's message loop; returns the exit code of WM_QUIT.
    int Nachrichtenschleife();

    HWND Fenster() const { return hwnd; }
    // Whether Text1 carries the definition's accessible name (where Windows takes it).
    bool Zugangsname_Angebracht() const {
        return Zugangsdienste && Zugangsdienste->Name_Angebracht();
    }

    void EreignisseVerarbeiten() override;
    double Ruhen(double Sekunden) override;
    float Uhrzeit() override;
    std::string Text1_Lesen() override;
    void Text1_Ersetzen(const std::string& Text) override;
    void Text1_Anhaengen(const std::string& Zeile) override;
    std::string NotbremseTag_Lesen() override;
    void NotbremseTag_Ersetzen(const std::string& Tag) override;
    [[noreturn]] void Laufzeitfehler(const std::string& Meldung) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT Nachricht, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT Nachricht, WPARAM wParam, LPARAM lParam);

    bool OnCreate();
    void OnCommand(int Id, int Code);
    void OnActivate(WPARAM wParam);
    void OnSetFocus();
    void OnDpiChanged(int Neue_Dpi, const RECT& Vorschlag);
    void OnGetDpiScaledSize(int Neue_Dpi, SIZE& Groesse);
    void OnDestroy();
    void OnNcDestroy();

    // Shows an error to the user in a message box with the window's caption.
    void Melden(const std::string& Meldung);
    // The definition's control of that identifier, null for none of them.
    const Fensterdefinition::Steuerelement* Element(int Kennung) const;
    // Whether a window is one of this window's buttons.
    bool Ist_Knopf(HWND Fenster) const;

    // Hands one message to the window: Tab, Shift+Tab, Enter and Escape to Dialogtaste first.
    void Zustellen(MSG& Nachricht);
    // A key pressed in the window as in a dialog; true if it is handled.
    bool Dialogtaste(WPARAM Taste);

    // The window's size from the client area at this DPI and the frame of its style.
    SIZE Fenstergroesse(int Bei_Dpi) const;
    HWND Steuerelement_Erzeugen(const Fensterdefinition::Steuerelement& Element, int Kennung);
    // Places the controls from the definition's twips at the window's DPI, with new fonts.
    void Steuerelemente_Platzieren();
    // The focused button is the default button, as in a dialog: Enter presses it.
    void Standardknopf_Nachfuehren();
    // Puts the caret at the end, after Anhang if there is one, scrolls it into view and paints
    // the box at once: the run may not process events again for a second or more.
    void Text1_Zeigen(const wchar_t* Anhang = nullptr);

    HINSTANCE Instanz;
    HWND hwnd = nullptr;
    HWND Text1 = nullptr;
    HWND Letzter_Fokus = nullptr;
    // One for each control, in the definition's order.
    HFONT Schriften[std::tuple_size_v<decltype(Fensterdefinition::Definition::Steuerelemente)>]{};
    int Dpi = 96; // of the monitor the window is on
    HWND Standardknopf = nullptr;
    std::string NotbremseTag; // the tag text of cmdNotbremse, the brake flag
    Ruheuhr Uhr;              // with its alarm while the window exists
    // Text1's accessible name and announcements, from the window's creation to its end.
    std::optional<Zugang> Zugangsdienste;
};
