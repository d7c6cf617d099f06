#include "frmGoldbachWin32.h"

#include "resource.h"

#include <oleacc.h>
#include <uiautomationcore.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

namespace D = Fensterdefinition;
using D::Pixel;

// The window's style: an ordinary sizable window.
constexpr DWORD Fensterstil = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;

// Functions that older Windows lack are looked up at run time, so that the program still starts
// there (at the one DPI that Windows 7 has, and without announcements).
template <typename Funktion> Funktion Dll_Funktion(HMODULE Modul, const char* Name) {
    const FARPROC Adresse = Modul != nullptr ? GetProcAddress(Modul, Name) : nullptr;
    return reinterpret_cast<Funktion>(reinterpret_cast<void (*)()>(Adresse));
}

template <typename Funktion> Funktion User32_Funktion(const char* Name) {
    return Dll_Funktion<Funktion>(GetModuleHandleW(L"user32.dll"), Name);
}

// Dynamic Annotation's identifiers, as oleacc.h has them: the import library that defines them
// would bring all of Windows' identifiers along, some 40 KB.
constexpr CLSID Annotationsdienst{
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID Annotationsdienst_Schnittstelle{
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID Zugangsname_Eigenschaft{
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

// UI Automation's notification to a screen reader (Windows 10 1709 and later), raised on the
// box's host provider: both from UIAutomationCore.dll, loaded at the first announcement.
struct Ansagedienste {
    HRESULT(WINAPI* Anbieter_Holen)(HWND, IRawElementProviderSimple**) = nullptr;
    // Provider, NotificationKind, NotificationProcessing, displayString, activityId.
    HRESULT(WINAPI* Melden)(IRawElementProviderSimple*, int, int, BSTR, BSTR) = nullptr;
};
constexpr int NotificationKind_Other = 4;
constexpr int NotificationProcessing_MostRecent = 3;

const Ansagedienste& Ansagedienste_Laden() {
    static const Ansagedienste Dienste = [] {
        const HMODULE Modul =
            LoadLibraryExW(L"UIAutomationCore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        Ansagedienste D;
        D.Anbieter_Holen =
            Dll_Funktion<decltype(D.Anbieter_Holen)>(Modul, "UiaHostProviderFromHwnd");
        D.Melden = Dll_Funktion<decltype(D.Melden)>(Modul, "UiaRaiseNotificationEvent");
        return D.Anbieter_Holen != nullptr && D.Melden != nullptr ? D : Ansagedienste{};
    }();
    return Dienste;
}

// How the one-second wait rests on time. Windows ends a wait at its timer's next tick, every
// 15.6 ms unless a program asks for more: a rest would end up to 15.6 ms after its second, and
// the clock read after it would still show the time of the tick before. Windows 10 1803 and
// later have a high-resolution waitable timer that ends a wait on time without changing the
// system's tick, so it is used where it exists; the rest waits on it together with the message
// queue. Older Windows refuse the flag (ERROR_INVALID_PARAMETER): there the system's tick is set
// to 1 ms for each rest with timeBeginPeriod, which also makes the clock run in steps of 1 ms.
// Wine 8 takes the flag and ignores it; its waits end within a millisecond either way.
constexpr DWORD Hochaufloesend = 0x00000002; // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

HANDLE Wecker_Erzeugen() {
    return CreateWaitableTimerExW(nullptr, nullptr, Hochaufloesend,
                                  TIMER_MODIFY_STATE | SYNCHRONIZE);
}

// timeBeginPeriod and timeEndPeriod from winmm.dll, loaded at the first rest without a timer, so
// that the program imports no more than the system's core DLLs.
struct Zeitgeberdienste {
    UINT(WINAPI* Anfangen)(UINT) = nullptr;
    UINT(WINAPI* Beenden)(UINT) = nullptr;
};

const Zeitgeberdienste& Zeitgeberdienste_Laden() {
    static const Zeitgeberdienste Dienste = [] {
        const HMODULE Modul = LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        Zeitgeberdienste Z;
        Z.Anfangen = Dll_Funktion<decltype(Z.Anfangen)>(Modul, "timeBeginPeriod");
        Z.Beenden = Dll_Funktion<decltype(Z.Beenden)>(Modul, "timeEndPeriod");
        return Z.Anfangen != nullptr && Z.Beenden != nullptr ? Z : Zeitgeberdienste{};
    }();
    return Dienste;
}

long long Zaehlerstand() {
    LARGE_INTEGER Jetzt;
    QueryPerformanceCounter(&Jetzt);
    return Jetzt.QuadPart;
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
      NotbremseTag(Definition.Element(D::Namen::cmdNotbremse).Tag) {
    LARGE_INTEGER Frequenz;
    QueryPerformanceFrequency(&Frequenz);
    Zaehlerfrequenz = Frequenz.QuadPart;
}

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
    Wecker = Wecker_Erzeugen(); // null on Windows before 10 1803: the rest goes without

    // Created in the definition's order: the order of creation is the order of Tab.
    int Naechste = Erste_Kennung;
    for (const auto& Element : Definition.Steuerelemente) {
        if (Steuerelement_Erzeugen(Element, Naechste++) == nullptr) {
            return false;
        }
    }
    Text1 = GetDlgItem(hwnd, Kennung(D::Namen::Text1, Definition));
    Steuerelemente_Platzieren();
    Zugangsname_Anbringen();
    // A run must never lose what the box holds: no limit short of the largest.
    SendMessageW(Text1, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    // The focus starts where the definition puts it, once the window is active.
    Letzter_Fokus = GetDlgItem(hwnd, Kennung(Definition.Fokus, Definition));
    return true;
}

void frmGoldbachWin32::Zugangsname_Anbringen() {
    // The name a screen reader speaks for the box, from the definition: the box has no visible
    // label, so its client object gets the name by Dynamic Annotation, a COM service of Windows'
    // accessibility. Where the service is missing or refuses (Wine 8 does), the box goes without.
    Com_Eigen = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    IAccPropServices* Dienste = nullptr;
    if (FAILED(CoCreateInstance(Annotationsdienst, nullptr, CLSCTX_INPROC_SERVER,
                                Annotationsdienst_Schnittstelle,
                                reinterpret_cast<void**>(&Dienste)))) {
        return;
    }
    const std::wstring Name = Breit(Definition.Element(D::Namen::Text1).Zugangsname);
    if (FAILED(Dienste->SetHwndPropStr(Text1, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       Zugangsname_Eigenschaft, Name.c_str()))) {
        Dienste->Release();
        return;
    }
    Zugangsdienste = Dienste;
}

void frmGoldbachWin32::Ansagen(std::string_view Zeile) {
    // A new line for a screen reader to speak, where Windows has the notification: the newest
    // line replaces one not yet spoken, so a listener never falls behind the run.
    const Ansagedienste& Uia = Ansagedienste_Laden();
    if (Uia.Melden == nullptr || Text1 == nullptr) {
        return;
    }
    if (Ansager == nullptr && FAILED(Uia.Anbieter_Holen(Text1, &Ansager))) {
        Ansager = nullptr;
        return;
    }
    while (Zeile.ends_with('\n') || Zeile.ends_with('\r')) {
        Zeile.remove_suffix(1);
    }
    const std::wstring Text = Breit(Zeile);
    const BSTR Anzeige = SysAllocStringLen(Text.data(), static_cast<UINT>(Text.size()));
    const BSTR Art = SysAllocString(L"Wendelkamm.Zeile");
    Uia.Melden(Ansager, NotificationKind_Other, NotificationProcessing_MostRecent, Anzeige, Art);
    SysFreeString(Anzeige);
    SysFreeString(Art);
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
    if (Zugangsdienste != nullptr) {
        Zugangsdienste->ClearHwndProps(Text1, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       &Zugangsname_Eigenschaft, 1);
        Zugangsdienste->Release();
        Zugangsdienste = nullptr;
    }
    if (Ansager != nullptr) {
        Ansager->Release();
        Ansager = nullptr;
    }
    Text1 = Letzter_Fokus = Standardknopf = nullptr;
    PostQuitMessage(0);
}

void frmGoldbachWin32::OnNcDestroy() {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    hwnd = nullptr;
    if (Wecker != nullptr) {
        CloseHandle(Wecker);
        Wecker = nullptr;
    }
    if (Com_Eigen) {
        CoUninitialize();
        Com_Eigen = false;
    }
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
    // Another program's calls (a screen reader's WM_GETOBJECT above all) arrive as sent
    // messages: the thread sleeps until one comes or the time is up, and delivers those only.
    // No input and no posted message is taken from the queue, so no click, key, repaint or timer
    // is handled here, and none of them wakes the thread.
    const long long Anfang = Zaehlerstand();
    const double Zaehler_je_Sekunde = static_cast<double>(Zaehlerfrequenz);
    const long long Ende =
        Anfang + static_cast<long long>(std::clamp(Sekunden, 0.0, 86400.0) * Zaehler_je_Sekunde);
    bool Tick_versucht = false;
    bool Tick_fein = false; // the system's tick made finer for this rest
    for (;;) {
        MSG Nachricht;
        PeekMessageW(&Nachricht, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const long long Jetzt = Zaehlerstand();
        if (Jetzt >= Ende) {
            break;
        }
        const double Rest = static_cast<double>(Ende - Jetzt) / Zaehler_je_Sekunde;
        // The window's alarm, set for the rest in units of 100 ns (negative: from now). A message
        // just answered may have closed the window, and the alarm with it.
        LARGE_INTEGER Frist;
        Frist.QuadPart = -static_cast<long long>(std::ceil(Rest * 1e7));
        const bool Mit_Wecker =
            Wecker != nullptr && SetWaitableTimer(Wecker, &Frist, 0, nullptr, nullptr, FALSE);
        if (!Mit_Wecker && !Tick_versucht) {
            const Zeitgeberdienste& Zeitgeber = Zeitgeberdienste_Laden();
            Tick_fein = Zeitgeber.Anfangen != nullptr && Zeitgeber.Anfangen(1) == 0;
            Tick_versucht = true;
        }
        // The wait's own time-out, in whole milliseconds rounded up, never ends it early; with
        // the alarm it comes after it and only stands in for it.
        const auto Millisekunden = static_cast<DWORD>(std::ceil(Rest * 1000.0));
        MsgWaitForMultipleObjectsEx(Mit_Wecker ? 1 : 0, Mit_Wecker ? &Wecker : nullptr,
                                    Millisekunden, QS_SENDMESSAGE, 0);
    }
    if (Tick_fein) {
        Zeitgeberdienste_Laden().Beenden(1);
    }
    return static_cast<double>(Zaehlerstand() - Anfang) / Zaehler_je_Sekunde;
}

float frmGoldbachWin32::Uhrzeit() {
    // From the system's precise time where Windows has it (8 and later): GetLocalTime moves on
    // only at the system's tick, every 15.6 ms unless the tick is made finer, so a wait that
    // rests until its second is over would still read the time of the tick before, and rest
    // again until the next. FILETIME counts 100 ns from a midnight, in days of 86400 s.
    static const auto Genaue_Zeit = Dll_Funktion<void(WINAPI*)(FILETIME*)>(
        GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime");
    FILETIME Weltzeit;
    FILETIME Ortszeit;
    if (Genaue_Zeit != nullptr) {
        Genaue_Zeit(&Weltzeit);
        if (FileTimeToLocalFileTime(&Weltzeit, &Ortszeit)) {
            const unsigned long long Zeit =
                (static_cast<unsigned long long>(Ortszeit.dwHighDateTime) << 32) |
                Ortszeit.dwLowDateTime;
            constexpr unsigned long long Tag = 86400ULL * 10000000ULL;
            return static_cast<float>(static_cast<double>(Zeit % Tag) / 1e7);
        }
    }
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
    Text1_Zeigen();
    if (!Text.empty()) {
        Ansagen(Text); // the question at the start of a run
    }
}

void frmGoldbachWin32::Text1_Anhaengen(const std::string& Zeile) {
    if (Text1 == nullptr) {
        return;
    }
    // The box's own way: an empty selection at the end, replaced by the line. The text before
    // it stays as it is, never read nor written again.
    Text1_Zeigen(Breit(Zeile).c_str());
    Ansagen(Zeile);
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
