// The real wendelkamm.exe, started in its own process and driven from outside as a user would:
// posted clicks and keys, its text read with WM_GETTEXT, its end seen through the exit code. It
// judges what a user sees: the lines, when they stop, the window.
#include "../Pruefdaten.h"
#include "Zeichenketten.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace D = Fensterdefinition;
using namespace std::chrono_literals;

const std::wstring Frage = Breit(D::Frage);
const std::wstring Zeile6 = Breit(Pruefdaten::Zeile(6));
const std::wstring Zeile8 = Breit(Pruefdaten::Zeile(8));

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

// A file of Linux's /proc, read under Wine through its drive Z: (Wine's GetProcessTimes tells
// nothing of another process). The wineserver opens it, so Z:\proc\self is the wineserver.
std::string Linux_Datei(const std::wstring& Pfad) {
    char Inhalt[4096] = {};
    if (FILE* Datei = _wfopen((L"Z:\\proc\\" + Pfad).c_str(), L"rb")) {
        std::fread(Inhalt, 1, sizeof Inhalt - 1, Datei);
        std::fclose(Datei);
    }
    return Inhalt;
}

// A Linux process's name, its processor time (user and system) and its start, in seconds.
struct Linux_Prozess {
    std::string Name;
    double Rechenzeit = -1.0;
    double Start = -1.0;
};

Linux_Prozess Linux_Prozess_Lesen(const std::wstring& Kennung) {
    // pid (comm) state ...: utime, stime fields 14, 15, starttime 22, in ticks of 1/100 s.
    const std::string Stat = Linux_Datei(Kennung + L"\\stat");
    const std::size_t Anfang = Stat.find('(');
    const std::size_t Ende = Stat.rfind(')');
    double Benutzer = 0.0;
    double System = 0.0;
    double Start = 0.0;
    if (Anfang == std::string::npos || Ende == std::string::npos ||
        std::sscanf(
            Stat.c_str() + Ende + 1,
            "%*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %lf %lf %*s %*s %*s %*s %*s %*s %lf",
            &Benutzer, &System, &Start) != 3) {
        return {};
    }
    return {Stat.substr(Anfang + 1, Ende - Anfang - 1), (Benutzer + System) / 100.0, Start / 100.0};
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
        Programmpfad = Pfad;
        Linux_Start = std::strtod(Linux_Datei(L"uptime").c_str(), nullptr);
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
        Text1 = GetDlgItem(Fenster, Kennung(D::Namen::Text1));
        cmdStart = GetDlgItem(Fenster, Kennung(D::Namen::cmdStart));
        cmdNotbremse = GetDlgItem(Fenster, Kennung(D::Namen::cmdNotbremse));
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

    // The text of Text1 by WM_GETTEXT. During a run the window answers within a millisecond of
    // its wait, and in the search not before the search's end.
    std::wstring Text() const {
        const long long Laenge = Textlaenge();
        if (Laenge < 0) {
            return L"(keine Antwort)";
        }
        std::wstring Text(static_cast<std::size_t>(Laenge) + 1, L'\0');
        DWORD_PTR Gelesen = 0;
        if (!SendMessageTimeoutW(Text1, WM_GETTEXT, Text.size(),
                                 reinterpret_cast<LPARAM>(Text.data()), SMTO_NORMAL, 5000,
                                 &Gelesen)) {
            return L"(keine Antwort)";
        }
        Text.resize(Gelesen);
        return Text;
    }

    // The length of the text by WM_GETTEXTLENGTH, one message where Text() sends two; -1
    // without an answer.
    long long Textlaenge() const {
        DWORD_PTR Laenge = 0;
        return SendMessageTimeoutW(Text1, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &Laenge)
                   ? static_cast<long long>(Laenge)
                   : -1;
    }

    // Waits until the text stays the same for 2.5 s, more than two of the run's seconds, and
    // returns it; "(laeuft)" if lines still come after 12 s.
    std::wstring Angehalten() const {
        const auto Ende = std::chrono::steady_clock::now() + 12s;
        std::wstring Stand = Text();
        auto Seit = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - Seit < 2500ms) {
            if (std::chrono::steady_clock::now() > Ende) {
                return L"(laeuft)";
            }
            std::this_thread::sleep_for(50ms);
            if (std::wstring Neu = Text(); Neu != Stand) {
                Stand = std::move(Neu);
                Seit = std::chrono::steady_clock::now();
            }
        }
        return Stand;
    }

    void Klicken(HWND Knopf) const { PostMessageW(Knopf, BM_CLICK, 0, 0); }

    // The program's Linux process under Wine: the first that Linux started from its path since
    // just before it was started here; an empty name if none is found.
    std::wstring Linux_Kennung() const {
        std::wstring Gefunden;
        double Erster = 1e300;
        WIN32_FIND_DATAW Eintrag;
        const HANDLE Suche = FindFirstFileW(L"Z:\\proc\\*", &Eintrag);
        if (Suche == INVALID_HANDLE_VALUE) {
            return {};
        }
        do {
            const std::wstring Name = Eintrag.cFileName;
            if (Name.find_first_not_of(L"0123456789") != std::wstring::npos) {
                continue;
            }
            const Linux_Prozess Prozess = Linux_Prozess_Lesen(Name);
            // Linux counts the start in ticks of 10 ms.
            if (Prozess.Name != "wendelkamm.exe" || Prozess.Start < Linux_Start - 0.01 ||
                Prozess.Start >= Erster) {
                continue;
            }
            // Started with this program's path: Wine gives Linux the Windows command line.
            const std::string Aufruf = Linux_Datei(Name + L"\\cmdline");
            wchar_t Erstes[MAX_PATH] = {};
            MultiByteToWideChar(CP_UTF8, 0, Aufruf.c_str(), -1, Erstes, MAX_PATH - 1);
            if (_wcsicmp(Erstes, Programmpfad.c_str()) == 0) {
                Gefunden = Name;
                Erster = Prozess.Start;
            }
        } while (FindNextFileW(Suche, &Eintrag));
        FindClose(Suche);
        return Gefunden;
    }

    // Waits for the process to end; its exit code, or STILL_ACTIVE.
    DWORD Ende(DWORD Millisekunden) const {
        WaitForSingleObject(Prozess.hProcess, Millisekunden);
        DWORD Code = STILL_ACTIVE;
        GetExitCodeProcess(Prozess.hProcess, &Code);
        return Code;
    }

    PROCESS_INFORMATION Prozess{};
    std::wstring Programmpfad;
    double Linux_Start = 0.0; // Linux's time since its start, just before the program's
    HWND Fenster = nullptr;
    HWND Text1 = nullptr;
    HWND cmdStart = nullptr;
    HWND cmdNotbremse = nullptr;
};

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
    EXPECT_EQ(Beschriftung, Breit(D::Standard.Beschriftung));

    // Its places and fonts are the in-process tests' matter.
    EXPECT_EQ(P.Text(), Breit(D::Standard.Element(D::Namen::Text1).Inhalt)); // the note
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

    // Over the next four lines: one a second, and the program rests while it waits, at under 5 %
    // of one processor, and so does the wineserver, which carries every call into the system.
    const std::wstring Kennung = P.Linux_Kennung();
    ASSERT_FALSE(Kennung.empty()) << "the program's Linux process is not found";
    const auto Anfang = std::chrono::steady_clock::now();
    const double Programm_vorher = Linux_Prozess_Lesen(Kennung).Rechenzeit;
    const double Server_vorher = Linux_Prozess_Lesen(L"self").Rechenzeit;
    // Each line makes the text longer; the program is asked as little as a listener would.
    std::vector<double> Abstaende;
    auto Zuletzt = Anfang;
    long long Stand = P.Textlaenge();
    Warten_bis(
        [&] {
            if (const long long Neu = P.Textlaenge(); Neu != Stand) {
                const auto Jetzt = std::chrono::steady_clock::now();
                Abstaende.push_back(std::chrono::duration<double>(Jetzt - Zuletzt).count());
                Stand = Neu;
                Zuletzt = Jetzt;
            }
            return Abstaende.size() == 4;
        },
        8s);
    const double Dauer =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - Anfang).count();
    const double Programm = (Linux_Prozess_Lesen(Kennung).Rechenzeit - Programm_vorher) / Dauer;
    const double Server = (Linux_Prozess_Lesen(L"self").Rechenzeit - Server_vorher) / Dauer;
    ASSERT_EQ(Abstaende.size(), 4u) << "lines stopped";
    std::sort(Abstaende.begin(), Abstaende.end());
    std::printf("In %.1f s: Programm %.1f %%, wineserver %.1f %% eines Kerns; Zeilen alle %.3f s "
                "(Median), hoechstens %.3f s\n",
                Dauer, Programm * 100.0, Server * 100.0, (Abstaende[1] + Abstaende[2]) / 2.0,
                Abstaende[3]);
    EXPECT_LT(Programm, 0.05);
    EXPECT_LT(Server, 0.05);
    EXPECT_GT(Abstaende[0], 0.9);
    EXPECT_LT(Abstaende[3], 1.25);

    P.Klicken(P.cmdNotbremse);
    // The run reads the flag after its next second and writes no more line. Clicked during 16's
    // second, the brake lets 16's line appear. On a busy machine the click may reach the window
    // just before that second (14's line the last) or after it (18's too): the exact pass is the
    // core tests' matter, a stop that holds is this test's.
    const std::wstring Angehalten = P.Angehalten();
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

    // The brake ends the inner run only: the outer one goes on writing lines. The inner run
    // may write one more line before it reads the flag; a second change is the outer run's.
    P.Klicken(P.cmdNotbremse);
    int Aenderungen = 0;
    std::wstring Stand = P.Text();
    EXPECT_TRUE(Warten_bis(
        [&] {
            if (std::wstring Neu = P.Text(); Neu != Stand) {
                Stand = std::move(Neu);
                ++Aenderungen;
            }
            return Aenderungen == 2;
        },
        8s))
        << "the outer run wrote no more line";

    // A third run nests again, and the close during it ends every run and the program.
    P.Klicken(P.cmdStart);
    EXPECT_TRUE(Warten_bis([&] { return P.Text().starts_with(Frage); }, 5s));
    PostMessageW(P.Fenster, WM_CLOSE, 0, 0);
    EXPECT_EQ(P.Ende(5000), 0u);
}
