// The real wendelkamm.exe, started in its own process and driven from outside as a user would:
// posted clicks and keys, its text read with WM_GETTEXT, the brake flag read from the window
// property of cmdNotbremse, its end seen through the exit code.
#include "Fensterdefinition.h"
#include "resource.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <thread>

namespace {

namespace D = Fensterdefinition;
using namespace std::chrono_literals;

const std::wstring Frage = L"Terminiert dieser Algorithmus?\r\n";
const std::wstring Zeile6 = L" 6 = 3 + 3\r\n";
const std::wstring Zeile8 = L" 8 = 3 + 5\r\n";

// Waits until the condition holds, checking every 20 ms; false after the time given.
bool Warten_bis(const std::function<bool()>& Bedingung, std::chrono::milliseconds Hoechstens) {
    const auto Ende = std::chrono::steady_clock::now() + Hoechstens;
    while (!Bedingung()) {
        if (std::chrono::steady_clock::now() > Ende) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// wendelkamm.exe from the folder of this program, started and found by its window.
class Programm {
public:
    Programm() {
        std::wstring Pfad(MAX_PATH, L'\0');
        Pfad.resize(GetModuleFileNameW(nullptr, Pfad.data(), MAX_PATH));
        Pfad = Pfad.substr(0, Pfad.find_last_of(L"\\/") + 1) + L"wendelkamm.exe";
        STARTUPINFOW Start{};
        Start.cb = sizeof Start;
        std::wstring Befehl = L"\"" + Pfad + L"\"";
        if (!CreateProcessW(Pfad.c_str(), Befehl.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &Start, &Prozess)) {
            ADD_FAILURE() << "cannot start " << GetLastError();
            return;
        }
        WaitForInputIdle(Prozess.hProcess, 10000);
        Warten_bis(
            [this] {
                Fenster = Eigenes_Fenster();
                return Fenster != nullptr && IsWindowVisible(Fenster);
            },
            10s);
        Text1 = GetDlgItem(Fenster, IDC_TEXT1);
        cmdStart = GetDlgItem(Fenster, IDC_CMDSTART);
        cmdNotbremse = GetDlgItem(Fenster, IDC_CMDNOTBREMSE);
    }

    ~Programm() {
        if (Prozess.hProcess == nullptr) {
            return;
        }
        if (WaitForSingleObject(Prozess.hProcess, 0) == WAIT_TIMEOUT) {
            PostMessageW(Fenster, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(Prozess.hProcess, 5000) == WAIT_TIMEOUT) {
                TerminateProcess(Prozess.hProcess, 99);
            }
        }
        CloseHandle(Prozess.hThread);
        CloseHandle(Prozess.hProcess);
    }

    Programm(const Programm&) = delete;
    Programm& operator=(const Programm&) = delete;

    // The window of class frmGoldbach that belongs to this process.
    HWND Eigenes_Fenster() const {
        HWND Kandidat = nullptr;
        while ((Kandidat = FindWindowExW(nullptr, Kandidat, L"frmGoldbach", nullptr)) != nullptr) {
            DWORD Kennung = 0;
            GetWindowThreadProcessId(Kandidat, &Kennung);
            if (Kennung == Prozess.dwProcessId) {
                return Kandidat;
            }
        }
        return nullptr;
    }

    // The text of Text1 by WM_GETTEXT. During a run the window answers only at the run's event
    // processing, once a second.
    std::wstring Text() const {
        DWORD_PTR Laenge = 0;
        if (!SendMessageTimeoutW(Text1, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &Laenge)) {
            return L"(keine Antwort)";
        }
        std::wstring Text(Laenge + 1, L'\0');
        DWORD_PTR Gelesen = 0;
        if (!SendMessageTimeoutW(Text1, WM_GETTEXT, Text.size(),
                                 reinterpret_cast<LPARAM>(Text.data()), SMTO_NORMAL, 5000,
                                 &Gelesen)) {
            return L"(keine Antwort)";
        }
        Text.resize(Gelesen);
        return Text;
    }

    // The brake flag: the tag text of cmdNotbremse, kept as a window property holding a global
    // atom. Readable at any time, also while the run waits.
    std::wstring Tag() const {
        const auto Atom =
            static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(cmdNotbremse, L"Tag")));
        if (Atom == 0) {
            return L"(keiner)";
        }
        wchar_t Text[256] = {};
        return {Text, GlobalGetAtomNameW(Atom, Text, 256)};
    }

    void Klicken(HWND Knopf) const { PostMessageW(Knopf, BM_CLICK, 0, 0); }

    // Waits for the process to end; its exit code, or STILL_ACTIVE.
    DWORD Ende(DWORD Millisekunden) const {
        WaitForSingleObject(Prozess.hProcess, Millisekunden);
        DWORD Code = STILL_ACTIVE;
        GetExitCodeProcess(Prozess.hProcess, &Code);
        return Code;
    }

    PROCESS_INFORMATION Prozess{};
    HWND Fenster = nullptr;
    HWND Text1 = nullptr;
    HWND cmdStart = nullptr;
    HWND cmdNotbremse = nullptr;
};

int Pixel(int Twips, int Dpi) {
    return static_cast<int>(std::lround(Twips * Dpi / 1440.0));
}

bool Endet_mit(const std::wstring& Text, const std::wstring& Ende) {
    return Text.size() >= Ende.size() &&
           Text.compare(Text.size() - Ende.size(), Ende.size(), Ende) == 0;
}

HWND Fokus_von(HWND Fenster) {
    GUITHREADINFO Info{};
    Info.cbSize = sizeof Info;
    GetGUIThreadInfo(GetWindowThreadProcessId(Fenster, nullptr), &Info);
    return Info.hwndFocus;
}

} // namespace

TEST(Programm, FensterBeimOeffnen) {
    Programm P;
    ASSERT_NE(P.Fenster, nullptr);
    ASSERT_NE(P.Text1, nullptr);

    wchar_t Beschriftung[64] = {};
    GetWindowTextW(P.Fenster, Beschriftung, 64);
    EXPECT_STREQ(Beschriftung, L"Wendelkamm");

    const HDC Bildschirm = GetDC(nullptr);
    const int DpiX = GetDeviceCaps(Bildschirm, LOGPIXELSX);
    const int DpiY = GetDeviceCaps(Bildschirm, LOGPIXELSY);
    ReleaseDC(nullptr, Bildschirm);
    RECT Innen;
    GetClientRect(P.Fenster, &Innen);
    EXPECT_EQ(Innen.right, Pixel(D::Innenbreite, DpiX));
    EXPECT_EQ(Innen.bottom, Pixel(D::Innenhoehe, DpiY));
    const HWND Elemente[] = {P.Text1, P.cmdStart, P.cmdNotbremse};
    for (std::size_t i = 0; i < D::Steuerelemente.size(); ++i) {
        const auto& Element = D::Steuerelemente[i];
        SCOPED_TRACE(std::string(Element.Name));
        RECT R;
        GetWindowRect(Elemente[i], &R);
        POINT Ecken[2] = {{R.left, R.top}, {R.right, R.bottom}};
        ScreenToClient(P.Fenster, &Ecken[0]);
        ScreenToClient(P.Fenster, &Ecken[1]);
        EXPECT_EQ(Ecken[0].x, Pixel(Element.Links, DpiX));
        EXPECT_EQ(Ecken[0].y, Pixel(Element.Oben, DpiY));
        EXPECT_EQ(Ecken[1].x - Ecken[0].x, Pixel(Element.Breite, DpiX));
        EXPECT_EQ(Ecken[1].y - Ecken[0].y, Pixel(Element.Hoehe, DpiY));
    }

    const std::wstring Hinweis = P.Text();
    EXPECT_EQ(Hinweis.substr(0, 33), L"KORVANT hatte im Jahr 1900 die \r\n");
    EXPECT_TRUE(Endet_mit(Hinweis, L"\r\n\r\nVelschor beweist im Jahre 1936, \r\n"
                                   L"dass das unm\u00f6glich ist.\r\n"));
    EXPECT_NE(Hinweis.find(L"f\u00fcr jede (ausreichend formalisierte) \r\n"), std::wstring::npos);
    EXPECT_EQ(Hinweis.size(), 278u);
    EXPECT_EQ(P.Tag(), L"0");
    EXPECT_EQ(Fokus_von(P.Fenster), P.Text1);

    // Tab moves on to Start; closing the idle window ends the program with status 0.
    PostMessageW(P.Text1, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(Warten_bis([&] { return Fokus_von(P.Fenster) == P.cmdStart; }, 5s));
    PostMessageW(P.Fenster, WM_CLOSE, 0, 0);
    EXPECT_EQ(P.Ende(5000), 0u);
}

TEST(Programm, StartZeigtFrageUndZeilen_NotbremseHaeltAn) {
    Programm P;
    ASSERT_NE(P.Fenster, nullptr);
    P.Klicken(P.cmdStart);
    EXPECT_TRUE(Warten_bis([&] { return P.Text().starts_with(Frage); }, 5s)) << P.Text();
    EXPECT_TRUE(Warten_bis([&] { return P.Text().starts_with(Frage + Zeile6); }, 5s)) << P.Text();

    P.Klicken(P.cmdNotbremse);
    EXPECT_TRUE(Warten_bis([&] { return P.Tag() == L"1"; }, 5s));
    // The run reads the flag after its next second and sets it back.
    EXPECT_TRUE(Warten_bis([&] { return P.Tag() == L"0"; }, 5s));
    // Clicked during 8's second, the brake lets 8's line appear. On a busy machine the click
    // may reach the window just before that second (6's line the last) or after it (10's too):
    // the exact pass is the core tests' matter, a stop that holds is this test's.
    const std::wstring Angehalten = P.Text();
    EXPECT_TRUE(Angehalten.starts_with(Frage + Zeile6)) << Angehalten;
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(P.Text(), Angehalten); // no line after the brake

    PostMessageW(P.Fenster, WM_CLOSE, 0, 0);
    EXPECT_EQ(P.Ende(5000), 0u);
}

TEST(Programm, ZweiterStartSchachteltEin_SchliessenBeendetBeideLaeufeMitStatusNull) {
    Programm P;
    ASSERT_NE(P.Fenster, nullptr);
    P.Klicken(P.cmdStart);
    ASSERT_TRUE(Warten_bis([&] { return P.Text().find(Zeile8) != std::wstring::npos; }, 8s))
        << P.Text();

    // The second run starts over with the question, inside the first.
    P.Klicken(P.cmdStart);
    EXPECT_TRUE(Warten_bis(
        [&] {
            const std::wstring Text = P.Text();
            return Text == Frage || Text == Frage + Zeile6;
        },
        5s))
        << P.Text();

    // The brake ends the inner run only: the outer one goes on writing lines.
    P.Klicken(P.cmdNotbremse);
    EXPECT_TRUE(Warten_bis([&] { return P.Tag() == L"1"; }, 5s));
    EXPECT_TRUE(Warten_bis([&] { return P.Tag() == L"0"; }, 5s));
    const std::wstring Nach_innerem = P.Text();
    EXPECT_TRUE(Warten_bis([&] { return P.Text() != Nach_innerem; }, 5s))
        << "the outer run wrote no more line";

    // A third run nests again, and the close during it ends every run and the program.
    P.Klicken(P.cmdStart);
    EXPECT_TRUE(Warten_bis([&] { return P.Text().starts_with(Frage); }, 5s));
    PostMessageW(P.Fenster, WM_CLOSE, 0, 0);
    EXPECT_EQ(P.Ende(5000), 0u);
}
