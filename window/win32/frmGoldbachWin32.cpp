#include "frmGoldbachWin32.h"

#include "Fensterdefinition.h"
#include "resource.h"

#include <cmath>
#include <cstdlib>

namespace {

namespace D = Fensterdefinition;

// Control identifiers in the order of the definition's controls.
constexpr int Kennungen[] = {IDC_TEXT1, IDC_CMDSTART, IDC_CMDNOTBREMSE};
static_assert(std::size(Kennungen) == D::Steuerelemente.size());

// The window's style: an ordinary sizable window.
constexpr DWORD Fensterstil = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// Twips to pixels at the screen's density: 1440 twips to the inch.
int Pixel(int Twips, int Dpi) {
    return MulDiv(Twips, Dpi, 1440);
}

// Functions that Windows 7 lacks are looked up at run time, so that the program still starts
// there (at the one DPI that such a system has).
template <typename Funktion> Funktion User32_Funktion(const char* Name) {
    const FARPROC Adresse = GetProcAddress(GetModuleHandleW(L"user32.dll"), Name);
    return reinterpret_cast<Funktion>(reinterpret_cast<void (*)()>(Adresse));
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

// The window rectangle around a client rectangle, with the frame drawn at the given DPI.
void Rahmen_Hinzufuegen(RECT& Rechteck, int Dpi) {
    static const auto AdjustWindowRectExForDpi_ =
        User32_Funktion<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (AdjustWindowRectExForDpi_ == nullptr ||
        !AdjustWindowRectExForDpi_(&Rechteck, Fensterstil, FALSE, 0, static_cast<UINT>(Dpi))) {
        AdjustWindowRectEx(&Rechteck, Fensterstil, FALSE, 0);
    }
}

HFONT Schrift_Erzeugen(const D::Schrift& Schrift, int Dpi) {
    const int Zehntelpunkte = static_cast<int>(std::lround(Schrift.Punkt * 10.0));
    return CreateFontW(-MulDiv(Zehntelpunkte, Dpi, 720), 0, 0, 0, Schrift.Gewicht, Schrift.Kursiv,
                       Schrift.Unterstrichen, Schrift.Durchgestrichen,
                       static_cast<DWORD>(Schrift.Zeichensatz), OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_ROMAN,
                       frmGoldbachWin32::Breit(Schrift.Name).c_str());
}

// The tag text of a control, kept as a window property holding a global atom, so that other
// programs (the tests, assistive tools) can read it: an empty tag is no property at all. Atoms
// hold up to 255 characters and compare without regard to case; the brake flag is "0" or "1".
void Tag_Setzen(HWND Steuerelement, const std::wstring& Tag) {
    const auto Alt = static_cast<ATOM>(
        reinterpret_cast<UINT_PTR>(RemovePropW(Steuerelement, frmGoldbachWin32::Tageigenschaft)));
    if (Alt != 0) {
        GlobalDeleteAtom(Alt);
    }
    if (Tag.empty()) {
        return;
    }
    const ATOM Neu = GlobalAddAtomW(Tag.c_str());
    if (Neu != 0) {
        SetPropW(Steuerelement, frmGoldbachWin32::Tageigenschaft,
                 reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(Neu)));
    }
}

std::wstring Tag_Lesen(HWND Steuerelement) {
    const auto Atom = static_cast<ATOM>(
        reinterpret_cast<UINT_PTR>(GetPropW(Steuerelement, frmGoldbachWin32::Tageigenschaft)));
    if (Atom == 0) {
        return {};
    }
    wchar_t Puffer[256];
    const UINT Laenge = GlobalGetAtomNameW(Atom, Puffer, static_cast<int>(std::size(Puffer)));
    return {Puffer, Laenge};
}

} // namespace

frmGoldbachWin32::~frmGoldbachWin32() {
    if (hwnd != nullptr) {
        DestroyWindow(hwnd);
    }
}

std::wstring frmGoldbachWin32::Breit(std::string_view Text) {
    if (Text.empty()) {
        return {};
    }
    const int Laenge =
        MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring Ergebnis(static_cast<std::size_t>(Laenge), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), Ergebnis.data(),
                        Laenge);
    return Ergebnis;
}

std::string frmGoldbachWin32::Schmal(std::wstring_view Text) {
    if (Text.empty()) {
        return {};
    }
    const int Laenge = WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string Ergebnis(static_cast<std::size_t>(Laenge), '\0');
    WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), Ergebnis.data(),
                        Laenge, nullptr, nullptr);
    return Ergebnis;
}

bool frmGoldbachWin32::Erzeugen() {
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
    if (CreateWindowExW(0, Klassenname, Breit(D::Beschriftung).c_str(), Fensterstil, CW_USEDEFAULT,
                        CW_USEDEFAULT, Erste.cx, Erste.cy, nullptr, nullptr, Instanz,
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
    RECT Rechteck{0, 0, Pixel(D::Innenbreite, Bei_Dpi), Pixel(D::Innenhoehe, Bei_Dpi)};
    Rahmen_Hinzufuegen(Rechteck, Bei_Dpi);
    return {Rechteck.right - Rechteck.left, Rechteck.bottom - Rechteck.top};
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
    // The edit box leaves Escape to a dialog, which would close; this window has no use for it.
    if (Nachricht.message == WM_KEYDOWN && Nachricht.wParam == VK_ESCAPE) {
        return;
    }
    // Tab and Shift+Tab move the focus as in a dialog, but select nothing in the text box,
    // where one keystroke would then replace all of it.
    if (Nachricht.message == WM_KEYDOWN && Nachricht.wParam == VK_TAB && hwnd != nullptr &&
        (GetKeyState(VK_CONTROL) & 0x8000) == 0) {
        const HWND Fokus = GetFocus();
        const HWND Ziel = GetNextDlgTabItem(hwnd, IsChild(hwnd, Fokus) ? Fokus : nullptr,
                                            (GetKeyState(VK_SHIFT) & 0x8000) != 0);
        if (Ziel != nullptr) {
            SetFocus(Ziel);
        }
        Standardknopf_Nachfuehren();
        return;
    }
    // Enter on the default button presses it (the dialog keyboard handling sends its click);
    // in Text1 it starts a new line. The focus may have been set from outside a message.
    if (Nachricht.message == WM_KEYDOWN) {
        Standardknopf_Nachfuehren();
    }
    if (hwnd == nullptr || !IsDialogMessageW(hwnd, &Nachricht)) {
        TranslateMessage(&Nachricht);
        DispatchMessageW(&Nachricht);
    }
    // A click, Tab or the activation may have moved the focus.
    Standardknopf_Nachfuehren();
}

void frmGoldbachWin32::Standardknopf_Nachfuehren() {
    if (hwnd == nullptr) {
        return;
    }
    const HWND Fokus = GetFocus();
    if (Fokus == nullptr || GetParent(Fokus) != hwnd) {
        return; // the focus is elsewhere: the default button stays as it was
    }
    const HWND Neu = (Fokus == cmdStart || Fokus == cmdNotbremse) ? Fokus : nullptr;
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
    case WM_NEXTDLGCTL:
        OnNextDlgCtl(wParam, lParam);
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

HWND frmGoldbachWin32::Steuerelement_Erzeugen(std::size_t Index) {
    const auto& Element = D::Steuerelemente[Index];
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
    const HWND Neu = CreateWindowExW(
        Erweitert, Klasse, Breit(Element.Inhalt).c_str(), Stil, 0, 0, 0, 0, hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(Kennungen[Index])), Instanz, nullptr);
    if (Neu == nullptr) {
        return nullptr;
    }
    if (!Element.Tag.empty()) {
        Tag_Setzen(Neu, Breit(Element.Tag));
    }
    return Neu;
}

bool frmGoldbachWin32::OnCreate() {
    Dpi = Fenster_Dpi(hwnd);

    // Created in tab order: the order of creation is the order of Tab.
    Text1 = Steuerelement_Erzeugen(0);
    cmdStart = Steuerelement_Erzeugen(1);
    cmdNotbremse = Steuerelement_Erzeugen(2);
    if (Text1 == nullptr || cmdStart == nullptr || cmdNotbremse == nullptr) {
        return false;
    }
    Steuerelemente_Platzieren();
    // A run must never lose what the box holds: no limit short of the largest.
    SendMessageW(Text1, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    Letzter_Fokus = Text1;
    return true;
}

void frmGoldbachWin32::Steuerelemente_Platzieren() {
    const HWND Elemente[] = {Text1, cmdStart, cmdNotbremse};
    static_assert(std::size(Elemente) == D::Steuerelemente.size());
    for (std::size_t Index = 0; Index < std::size(Elemente); ++Index) {
        const auto& Element = D::Steuerelemente[Index];
        MoveWindow(Elemente[Index], Pixel(Element.Links, Dpi), Pixel(Element.Oben, Dpi),
                   Pixel(Element.Breite, Dpi), Pixel(Element.Hoehe, Dpi), TRUE);
        // The same point size at the new DPI; the old font goes once the control has let go.
        const HFONT Alt = Schriften[Index];
        Schriften[Index] = Schrift_Erzeugen(Element.Schrift, Dpi);
        SendMessageW(Elemente[Index], WM_SETFONT, reinterpret_cast<WPARAM>(Schriften[Index]), TRUE);
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
    RECT Rechteck{0, 0, Pixel(D::Innenbreite, Neue_Dpi), Pixel(D::Innenhoehe, Neue_Dpi)};
    if (Innen.right != Pixel(D::Innenbreite, Dpi) || Innen.bottom != Pixel(D::Innenhoehe, Dpi)) {
        Rechteck = {0, 0, MulDiv(Innen.right, Neue_Dpi, Dpi), MulDiv(Innen.bottom, Neue_Dpi, Dpi)};
    }
    Rahmen_Hinzufuegen(Rechteck, Neue_Dpi);
    Groesse = {Rechteck.right - Rechteck.left, Rechteck.bottom - Rechteck.top};
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
    if (Code != BN_CLICKED) {
        return;
    }
    if (Id == IDC_CMDSTART) {
        Goldbach.cmdStart_Click();
    } else if (Id == IDC_CMDNOTBREMSE) {
        Goldbach.cmdNotbremse_Click();
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

void frmGoldbachWin32::OnNextDlgCtl(WPARAM wParam, LPARAM lParam) {
    // Tab and Shift+Tab, as the dialog keyboard handling asks for them.
    HWND Ziel = nullptr;
    if (LOWORD(lParam) != 0) {
        Ziel = reinterpret_cast<HWND>(wParam);
    } else {
        Ziel = GetNextDlgTabItem(hwnd, GetFocus(), wParam != 0 ? TRUE : FALSE);
    }
    if (Ziel == nullptr) {
        return;
    }
    // Unlike a dialog, no select-all in the text box: one keystroke would replace all of it.
    SetFocus(Ziel);
}

void frmGoldbachWin32::OnDestroy() {
    // A run may be active below this message: every run ends at its next event processing,
    // and WM_QUIT ends the message loops, the nested ones first.
    Schliesst = true;
    for (const HWND Element : {Text1, cmdStart, cmdNotbremse}) {
        if (Element != nullptr) {
            Tag_Setzen(Element, {});
        }
    }
    Text1 = cmdStart = cmdNotbremse = Letzter_Fokus = Standardknopf = nullptr;
    PostQuitMessage(0);
}

void frmGoldbachWin32::OnNcDestroy() {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    hwnd = nullptr;
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

float frmGoldbachWin32::Uhrzeit() {
    SYSTEMTIME Jetzt;
    GetLocalTime(&Jetzt);
    const double Sekunden =
        Jetzt.wHour * 3600.0 + Jetzt.wMinute * 60.0 + Jetzt.wSecond + Jetzt.wMilliseconds / 1000.0;
    return static_cast<float>(Sekunden);
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
    // Keep the newest line in view, and show the new text at once: the run may not process
    // events again for a second or more.
    const int Ende = GetWindowTextLengthW(Text1);
    SendMessageW(Text1, EM_SETSEL, static_cast<WPARAM>(Ende), Ende);
    SendMessageW(Text1, EM_SCROLLCARET, 0, 0);
    RedrawWindow(Text1, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

std::string frmGoldbachWin32::NotbremseTag_Lesen() {
    return cmdNotbremse != nullptr ? Schmal(Tag_Lesen(cmdNotbremse)) : std::string{};
}

void frmGoldbachWin32::NotbremseTag_Ersetzen(const std::string& Tag) {
    if (cmdNotbremse != nullptr) {
        Tag_Setzen(cmdNotbremse, Breit(Tag));
    }
}

void frmGoldbachWin32::Laufzeitfehler(const std::string& Meldung) {
    MessageBoxW(hwnd, Breit(Meldung).c_str(), Breit(D::Beschriftung).c_str(), MB_OK | MB_ICONERROR);
    std::exit(EXIT_FAILURE);
}

bool frmGoldbachWin32::WirdGeschlossen() {
    return Schliesst;
}
