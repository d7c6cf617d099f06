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

// Twips to pixels at the screen's density: 1440 twips to the inch.
int Pixel(int Twips, int Dpi) {
    return MulDiv(Twips, Dpi, 1440);
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

    // The client area has the definition's size; the frame comes on top.
    const HDC Bildschirm = GetDC(nullptr);
    const int DpiX = GetDeviceCaps(Bildschirm, LOGPIXELSX);
    const int DpiY = GetDeviceCaps(Bildschirm, LOGPIXELSY);
    ReleaseDC(nullptr, Bildschirm);
    constexpr DWORD Stil = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    RECT Rahmen{0, 0, Pixel(D::Innenbreite, DpiX), Pixel(D::Innenhoehe, DpiY)};
    AdjustWindowRectEx(&Rahmen, Stil, FALSE, 0);

    return CreateWindowExW(0, Klassenname, Breit(D::Beschriftung).c_str(), Stil, CW_USEDEFAULT,
                           CW_USEDEFAULT, Rahmen.right - Rahmen.left, Rahmen.bottom - Rahmen.top,
                           nullptr, nullptr, Instanz, this) != nullptr;
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
    if (hwnd != nullptr && IsDialogMessageW(hwnd, &Nachricht)) {
        return;
    }
    TranslateMessage(&Nachricht);
    DispatchMessageW(&Nachricht);
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

HWND frmGoldbachWin32::Steuerelement_Erzeugen(std::size_t Index, int DpiX, int DpiY) {
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
    const HWND Neu = CreateWindowExW(
        Erweitert, Klasse, Breit(Element.Inhalt).c_str(), Stil, Pixel(Element.Links, DpiX),
        Pixel(Element.Oben, DpiY), Pixel(Element.Breite, DpiX), Pixel(Element.Hoehe, DpiY), hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(Kennungen[Index])), Instanz, nullptr);
    if (Neu == nullptr) {
        return nullptr;
    }
    Schriften[Index] = Schrift_Erzeugen(Element.Schrift, DpiY);
    SendMessageW(Neu, WM_SETFONT, reinterpret_cast<WPARAM>(Schriften[Index]), FALSE);
    if (!Element.Tag.empty()) {
        Tag_Setzen(Neu, Breit(Element.Tag));
    }
    return Neu;
}

bool frmGoldbachWin32::OnCreate() {
    const HDC Bildschirm = GetDC(hwnd);
    const int DpiX = GetDeviceCaps(Bildschirm, LOGPIXELSX);
    const int DpiY = GetDeviceCaps(Bildschirm, LOGPIXELSY);
    ReleaseDC(hwnd, Bildschirm);

    // Created in tab order: the order of creation is the order of Tab.
    Text1 = Steuerelement_Erzeugen(0, DpiX, DpiY);
    cmdStart = Steuerelement_Erzeugen(1, DpiX, DpiY);
    cmdNotbremse = Steuerelement_Erzeugen(2, DpiX, DpiY);
    if (Text1 == nullptr || cmdStart == nullptr || cmdNotbremse == nullptr) {
        return false;
    }
    // A run must never lose what the box holds: no limit short of the largest.
    SendMessageW(Text1, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    Letzter_Fokus = Text1;
    return true;
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
    SetFocus(Ziel);
    if (SendMessageW(Ziel, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
        SendMessageW(Ziel, EM_SETSEL, 0, -1);
    }
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
    Text1 = cmdStart = cmdNotbremse = Letzter_Fokus = nullptr;
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
