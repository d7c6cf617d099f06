#include "frmGoldbachWin32.h"

#include "Nachladen.h"
#include "resource.h"

#include <cmath>
#include <cstdlib>

namespace {

namespace D = Fensterdefinition;
using D::Pixel;

// The window's style: an ordinary sizable window.
constexpr DWORD Fensterstil = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// Looked up at run time: Windows 7 has one DPI, and the window still opens there.
template <typename Funktion> Funktion User32_Funktion(const char* Name) {
    return Dll_Funktion<Funktion>(GetModuleHandleW(L"user32.dll"), Name);
}

int System_Dpi() {
    const HDC Bildschirm = GetDC(nullptr);
    const int Dpi = GetDeviceCaps(Bildschirm, LOGPIXELSY);
    ReleaseDC(nullptr, Bildschirm);
    return Dpi;
}

// The DPI of the monitor the window is on (Windows 10 1607 and later), else the system's.
int Fenster_Dpi(HWND Fenster) {
    static const auto GetDpiForWindow_ = User32_Funktion<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (GetDpiForWindow_ != nullptr) {
        if (const UINT Dpi = GetDpiForWindow_(Fenster); Dpi != 0) {
            return static_cast<int>(Dpi);
        }
    }
    return System_Dpi();
}

// The window's size around a client area of that size, with the frame drawn at the given DPI.
SIZE Mit_Rahmen(int Breite, int Hoehe, int Dpi) {
    static const auto AdjustWindowRectExForDpi_ =
        User32_Funktion<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT Rechteck{0, 0, Breite, Hoehe};
    if (AdjustWindowRectExForDpi_ == nullptr ||
        !AdjustWindowRectExForDpi_(&Rechteck, Fensterstil, FALSE, 0, static_cast<UINT>(Dpi))) {
        AdjustWindowRectEx(&Rechteck, Fensterstil, FALSE, 0);
    }
    return {Rechteck.right - Rechteck.left, Rechteck.bottom - Rechteck.top};
}

HFONT Schrift_Erzeugen(const D::Schrift& Schrift, int Dpi) {
    return CreateFontW(-D::Schriftpixel(Schrift.Punkt, Dpi), 0, 0, 0, Schrift.Gewicht,
                       Schrift.Kursiv, Schrift.Unterstrichen, Schrift.Durchgestrichen,
                       static_cast<DWORD>(Schrift.Zeichensatz), OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN,
                       Breit(Schrift.Name).c_str());
}

} // namespace

frmGoldbachWin32::frmGoldbachWin32(HINSTANCE Instanz, const D::Definition& Definition)
    : Goldbachfenster(Definition), Instanz(Instanz),
      NotbremseTag(Definition.Element(D::Namen::cmdNotbremse).Tag) {}

frmGoldbachWin32::~frmGoldbachWin32() {
    if (hwnd != nullptr) {
        DestroyWindow(hwnd);
    }
}

bool frmGoldbachWin32::Erzeugen() {
    if (const std::string Fehler = Mangel(Definition); !Fehler.empty()) {
        Melden(Fehler);
        return false;
    }
    WNDCLASSEXW Klasse{};
    Klasse.cbSize = sizeof Klasse;
    Klasse.lpfnWndProc = WindowProc;
    Klasse.hInstance = Instanz;
    Klasse.hIcon = LoadIconW(Instanz, MAKEINTRESOURCEW(IDI_WENDELKAMM));
    Klasse.hIconSm = static_cast<HICON>(LoadImageW(Instanz, MAKEINTRESOURCEW(IDI_WENDELKAMM),
                                                   IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), 0));
    Klasse.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    Klasse.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    Klasse.lpszClassName = Klassenname;
    if (RegisterClassExW(&Klasse) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }

    // The client area has the definition's size at the DPI of the monitor the window opens on;
    // the frame comes on top. Until the window exists, that is the system's DPI.
    const int Erste_Dpi = System_Dpi();
    const SIZE Erste = Fenstergroesse(Erste_Dpi);
    if (CreateWindowExW(0, Klassenname, Breit(Definition.Beschriftung).c_str(), Fensterstil,
                        CW_USEDEFAULT, CW_USEDEFAULT, Erste.cx, Erste.cy, nullptr, nullptr, Instanz,
                        this) == nullptr) {
        return false;
    }
    if (Dpi != Erste_Dpi) {
        const SIZE Groesse = Fenstergroesse(Dpi);
        SetWindowPos(hwnd, nullptr, 0, 0, Groesse.cx, Groesse.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

SIZE frmGoldbachWin32::Fenstergroesse(int Bei_Dpi) const {
    return Mit_Rahmen(Pixel(Definition.Innenbreite, Bei_Dpi), Pixel(Definition.Innenhoehe, Bei_Dpi),
                      Bei_Dpi);
}

const D::Steuerelement* frmGoldbachWin32::Element(int Kennung) const {
    const auto Stelle = static_cast<std::size_t>(Kennung - Erste_Kennung);
    return Kennung >= Erste_Kennung && Stelle < Definition.Steuerelemente.size()
               ? &Definition.Steuerelemente[Stelle]
               : nullptr;
}

bool frmGoldbachWin32::Ist_Knopf(HWND Fenster) const {
    const D::Steuerelement* Knopf =
        Fenster != nullptr && GetParent(Fenster) == hwnd ? Element(GetDlgCtrlID(Fenster)) : nullptr;
    return Knopf != nullptr && Knopf->Typ == D::Art::Schaltflaeche;
}

void frmGoldbachWin32::Zeigen(int Anzeige) {
    ShowWindow(hwnd, Anzeige);
    UpdateWindow(hwnd);
}

int frmGoldbachWin32::Nachrichtenschleife() {
    MSG Nachricht;
    for (;;) {
        const BOOL Ergebnis = GetMessageW(&Nachricht, nullptr, 0, 0);
        if (Ergebnis == 0) {
            return static_cast<int>(Nachricht.wParam);
        }
        if (Ergebnis == -1) {
            return EXIT_FAILURE;
        }
        Zustellen(Nachricht);
    }
}

void frmGoldbachWin32::Zustellen(MSG& Nachricht) {
    if (Nachricht.message == WM_KEYDOWN && hwnd != nullptr &&
        (Nachricht.hwnd == hwnd || IsChild(hwnd, Nachricht.hwnd)) &&
        Dialogtaste(Nachricht.wParam)) {
        return;
    }
    TranslateMessage(&Nachricht);
    DispatchMessageW(&Nachricht);
    // A click or the activation may have moved the focus.
    Standardknopf_Nachfuehren();
}

bool frmGoldbachWin32::Dialogtaste(WPARAM Taste) {
    // The dialog keyboard in one place: WM_KEYDOWN, taken here from the queue before it reaches
    // the control in focus; a key handled here makes no WM_CHAR. The dialog manager
    // (IsDialogMessageW) is not used: Wine's selects all of the text box on Tab, where one
    // keystroke would then replace it.
    const HWND Fokus = GetFocus();
    const bool Hier = Fokus != nullptr && GetParent(Fokus) == hwnd;
    Standardknopf_Nachfuehren(); // the focus may have been set from outside a message
    switch (Taste) {
    case VK_TAB: // Tab and Shift+Tab move the focus in tab order and select nothing
        if ((GetKeyState(VK_CONTROL) & 0x8000) != 0) {
            return false; // Ctrl+Tab types a tab in the box
        }
        if (const HWND Ziel = GetNextDlgTabItem(hwnd, Hier ? Fokus : nullptr,
                                                (GetKeyState(VK_SHIFT) & 0x8000) != 0)) {
            SetFocus(Ziel);
            Standardknopf_Nachfuehren();
        }
        return true;
    case VK_RETURN: // presses the button in focus, the default button; in Text1 a new line
        if (!Ist_Knopf(Fokus)) {
            return false;
        }
        SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Fokus), BN_CLICKED),
                     reinterpret_cast<LPARAM>(Fokus));
        return true;
    case VK_ESCAPE: // closes a dialog; this window has no use for it
        return true;
    default: // Space among them: the button in focus clicks when it is let go
        return false;
    }
}

void frmGoldbachWin32::Standardknopf_Nachfuehren() {
    if (hwnd == nullptr) {
        return;
    }
    const HWND Fokus = GetFocus();
    if (Fokus == nullptr || GetParent(Fokus) != hwnd) {
        return; // the focus is elsewhere: the default button stays as it was
    }
    const HWND Neu = Ist_Knopf(Fokus) ? Fokus : nullptr;
    if (Neu == Standardknopf) {
        return;
    }
    if (Standardknopf != nullptr) {
        SendMessageW(Standardknopf, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
    if (Neu != nullptr) {
        SendMessageW(Neu, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
    Standardknopf = Neu;
}

LRESULT CALLBACK frmGoldbachWin32::WindowProc(HWND hwnd, UINT Nachricht, WPARAM wParam,
                                              LPARAM lParam) {
    frmGoldbachWin32* Selbst = nullptr;
    if (Nachricht == WM_NCCREATE) {
        const auto* Erzeugung = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        Selbst = static_cast<frmGoldbachWin32*>(Erzeugung->lpCreateParams);
        Selbst->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Selbst));
    } else {
        Selbst = reinterpret_cast<frmGoldbachWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (Selbst == nullptr) {
        return DefWindowProcW(hwnd, Nachricht, wParam, lParam);
    }
    return Selbst->HandleMessage(Nachricht, wParam, lParam);
}

LRESULT frmGoldbachWin32::HandleMessage(UINT Nachricht, WPARAM wParam, LPARAM lParam) {
    const HWND Fenster = hwnd;
    switch (Nachricht) {
    case WM_CREATE:
        return OnCreate() ? 0 : -1;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_ACTIVATE:
        OnActivate(wParam);
        break;
    case WM_SETFOCUS:
        OnSetFocus();
        return 0;
    case WM_GETDPISCALEDSIZE:
        OnGetDpiScaledSize(static_cast<int>(wParam), *reinterpret_cast<SIZE*>(lParam));
        return TRUE;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy();
        break;
    default:
        break;
    }
    return DefWindowProcW(Fenster, Nachricht, wParam, lParam);
}

HWND frmGoldbachWin32::Steuerelement_Erzeugen(const D::Steuerelement& Element, int Kennung) {
    DWORD Stil = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    DWORD Erweitert = 0;
    const wchar_t* Klasse = L"BUTTON";
    if (Element.Typ == D::Art::Textfeld) {
        // Editable, wraps at its right edge (no horizontal scrolling), vertical scroll bar.
        Stil |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL | WS_VSCROLL;
        Erweitert = WS_EX_CLIENTEDGE;
        Klasse = L"EDIT";
    } else {
        Stil |= BS_PUSHBUTTON;
    }
    // Placed and given its font by Steuerelemente_Platzieren.
    return CreateWindowExW(Erweitert, Klasse, Breit(Element.Inhalt).c_str(), Stil, 0, 0, 0, 0, hwnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(Kennung)), Instanz,
                           nullptr);
}

bool frmGoldbachWin32::OnCreate() {
    Dpi = Fenster_Dpi(hwnd);
    Uhr.Wecker_Erzeugen(); // none on Windows before 10 1803: the rest goes without

    // Created in the definition's order: the order of creation is the order of Tab.
    int Naechste = Erste_Kennung;
    for (const auto& Element : Definition.Steuerelemente) {
        if (Steuerelement_Erzeugen(Element, Naechste++) == nullptr) {
            return false;
        }
    }
    Text1 = GetDlgItem(hwnd, Kennung(D::Namen::Text1, Definition));
    Steuerelemente_Platzieren();
    // The name a screen reader speaks for the box, from the definition.
    Zugangsdienste.emplace(Text1, Breit(Definition.Element(D::Namen::Text1).Zugangsname));
    // A run must never lose what the box holds: no limit short of the largest.
    SendMessageW(Text1, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    // The focus starts where the definition puts it, once the window is active.
    Letzter_Fokus = GetDlgItem(hwnd, Kennung(Definition.Fokus, Definition));
    return true;
}

void frmGoldbachWin32::Steuerelemente_Platzieren() {
    for (std::size_t Index = 0; Index < Definition.Steuerelemente.size(); ++Index) {
        const auto& Element = Definition.Steuerelemente[Index];
        const HWND Steuerelement = GetDlgItem(hwnd, Erste_Kennung + static_cast<int>(Index));
        MoveWindow(Steuerelement, Pixel(Element.Links, Dpi), Pixel(Element.Oben, Dpi),
                   Pixel(Element.Breite, Dpi), Pixel(Element.Hoehe, Dpi), TRUE);
        // The same point size at the new DPI; the old font goes once the control has let go.
        const HFONT Alt = Schriften[Index];
        Schriften[Index] = Schrift_Erzeugen(Element.Schrift, Dpi);
        SendMessageW(Steuerelement, WM_SETFONT, reinterpret_cast<WPARAM>(Schriften[Index]), TRUE);
        if (Alt != nullptr) {
            DeleteObject(Alt);
        }
    }
}

void frmGoldbachWin32::OnGetDpiScaledSize(int Neue_Dpi, SIZE& Groesse) {
    // Windows asks before moving the window to a monitor of another DPI. A window of the
    // definition's size keeps it exactly; one the user has resized keeps its proportion.
    RECT Innen;
    GetClientRect(hwnd, &Innen);
    const bool Wie_Definiert = Innen.right == Pixel(Definition.Innenbreite, Dpi) &&
                               Innen.bottom == Pixel(Definition.Innenhoehe, Dpi);
    Groesse = Wie_Definiert ? Fenstergroesse(Neue_Dpi)
                            : Mit_Rahmen(MulDiv(Innen.right, Neue_Dpi, Dpi),
                                         MulDiv(Innen.bottom, Neue_Dpi, Dpi), Neue_Dpi);
}

void frmGoldbachWin32::OnDpiChanged(int Neue_Dpi, const RECT& Vorschlag) {
    // The window now lies on a monitor of another DPI: the controls and fonts follow it, the
    // window takes the place and size that Windows suggests.
    Dpi = Neue_Dpi;
    Steuerelemente_Platzieren();
    SetWindowPos(hwnd, nullptr, Vorschlag.left, Vorschlag.top, Vorschlag.right - Vorschlag.left,
                 Vorschlag.bottom - Vorschlag.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmGoldbachWin32::OnCommand(int Id, int Code) {
    if (const D::Steuerelement* Geklickt = Element(Id); Geklickt != nullptr && Code == BN_CLICKED) {
        Klicken(Geklickt->Name);
    }
}

void frmGoldbachWin32::OnActivate(WPARAM wParam) {
    // Remember where the focus was, to give it back when the window is activated again.
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND Fokus = GetFocus();
        if (Fokus != nullptr && IsChild(hwnd, Fokus)) {
            Letzter_Fokus = Fokus;
        }
    }
}

void frmGoldbachWin32::OnSetFocus() {
    if (Letzter_Fokus != nullptr && IsWindow(Letzter_Fokus)) {
        SetFocus(Letzter_Fokus);
    }
}

void frmGoldbachWin32::OnDestroy() {
    // A run may be active below this message: every run ends at its next event processing,
    // and WM_QUIT ends the message loops, the nested ones first.
    Schliesst = true;
    NotbremseTag.clear(); // the button goes, and its tag with it
    if (Zugangsdienste) {
        Zugangsdienste->Loesen(); // while Text1 still exists
    }
    Text1 = Letzter_Fokus = Standardknopf = nullptr;
    PostQuitMessage(0);
}

void frmGoldbachWin32::OnNcDestroy() {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    hwnd = nullptr;
    Uhr.Wecker_Schliessen();
    Zugangsdienste.reset(); // and COM with it, where the window began it
    for (HFONT& Schrift : Schriften) {
        if (Schrift != nullptr) {
            DeleteObject(Schrift);
            Schrift = nullptr;
        }
    }
}

void frmGoldbachWin32::EreignisseVerarbeiten() {
    MSG Nachricht;
    while (PeekMessageW(&Nachricht, nullptr, 0, 0, PM_REMOVE)) {
        if (Nachricht.message == WM_QUIT) {
            // Leave WM_QUIT for the loop below this one, up to the program's message loop.
            PostQuitMessage(static_cast<int>(Nachricht.wParam));
            return;
        }
        Zustellen(Nachricht);
    }
}

double frmGoldbachWin32::Ruhen(double Sekunden) {
    return Uhr.Ruhen(Sekunden);
}

float frmGoldbachWin32::Uhrzeit() {
    return Ruheuhr::Uhrzeit();
}

std::string frmGoldbachWin32::Text1_Lesen() {
    if (Text1 == nullptr) {
        return {};
    }
    std::wstring Text(static_cast<std::size_t>(GetWindowTextLengthW(Text1)) + 1, L'\0');
    const int Laenge = GetWindowTextW(Text1, Text.data(), static_cast<int>(Text.size()));
    Text.resize(static_cast<std::size_t>(Laenge > 0 ? Laenge : 0));
    return Schmal(Text);
}

void frmGoldbachWin32::Text1_Ersetzen(const std::string& Text) {
    if (Text1 == nullptr) {
        return;
    }
    SetWindowTextW(Text1, Breit(Text).c_str());
    Text1_Zeigen();
    if (!Text.empty() && Zugangsdienste) {
        Zugangsdienste->Ansagen(Text); // the question at the start of a run
    }
}

void frmGoldbachWin32::Text1_Anhaengen(const std::string& Zeile) {
    if (Text1 == nullptr) {
        return;
    }
    // The box's own way: an empty selection at the end, replaced by the line. The text before
    // it stays as it is, never read nor written again.
    Text1_Zeigen(Breit(Zeile).c_str());
    if (Zugangsdienste) {
        Zugangsdienste->Ansagen(Zeile);
    }
}

void frmGoldbachWin32::Text1_Zeigen(const wchar_t* Anhang) {
    const int Ende = GetWindowTextLengthW(Text1);
    SendMessageW(Text1, EM_SETSEL, static_cast<WPARAM>(Ende), Ende);
    if (Anhang != nullptr) { // the caret stands after it, at the new end
        SendMessageW(Text1, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Anhang));
    }
    SendMessageW(Text1, EM_SCROLLCARET, 0, 0);
    RedrawWindow(Text1, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

std::string frmGoldbachWin32::NotbremseTag_Lesen() {
    return NotbremseTag;
}

void frmGoldbachWin32::NotbremseTag_Ersetzen(const std::string& Tag) {
    NotbremseTag = Tag;
}

void frmGoldbachWin32::Melden(const std::string& Meldung) {
    MessageBoxW(hwnd, Breit(Meldung).c_str(), Breit(Definition.Beschriftung).c_str(),
                MB_OK | MB_ICONERROR);
}

void frmGoldbachWin32::Laufzeitfehler(const std::string& Meldung) {
    Melden(Meldung);
    std::exit(EXIT_FAILURE);
}
