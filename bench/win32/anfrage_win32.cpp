// How long another program waits for the box while a run goes on, asked as a screen reader asks
// it: wendelkamm.exe started in its own process, then SendMessageTimeout(WM_GETTEXTLENGTH) to
// Text1, one request after another with a pause of 0 to 50 ms between them, for a few seconds
// while the window is idle and then for as long during a run. Prints the median and the maximum
// of each; the program asked may be given (another build of it), else the one beside this:
//   wine build-win/bench/anfrage_win32.exe [PROGRAMM.exe] [SEKUNDEN]
#include "resource.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using Uhr = std::chrono::steady_clock;

HWND Fenster_von(DWORD Prozess) {
    HWND Kandidat = nullptr;
    while ((Kandidat = FindWindowExW(nullptr, Kandidat, L"frmGoldbach", nullptr)) != nullptr) {
        DWORD Kennung = 0;
        GetWindowThreadProcessId(Kandidat, &Kennung);
        if (Kennung == Prozess && IsWindowVisible(Kandidat)) {
            return Kandidat;
        }
    }
    return nullptr;
}

// The requests' durations in milliseconds, for the seconds given; -1 for one that timed out.
std::vector<double> Fragen(HWND Text1, double Sekunden, std::mt19937& Zufall) {
    std::vector<double> Dauern;
    std::uniform_int_distribution<int> Pause(0, 50);
    const auto Ende = Uhr::now() + std::chrono::duration<double>(Sekunden);
    while (Uhr::now() < Ende) {
        Sleep(static_cast<DWORD>(Pause(Zufall)));
        DWORD_PTR Laenge = 0;
        const auto Anfang = Uhr::now();
        const bool Beantwortet =
            SendMessageTimeoutW(Text1, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 5000, &Laenge) != 0;
        const std::chrono::duration<double, std::milli> Dauer = Uhr::now() - Anfang;
        Dauern.push_back(Beantwortet ? Dauer.count() : -1.0);
    }
    return Dauern;
}

void Zeile(const char* Name, std::vector<double> Alle) {
    std::sort(Alle.begin(), Alle.end());
    const auto Ohne_Antwort = std::count(Alle.begin(), Alle.end(), -1.0);
    std::printf("| %s | %.3f ms | %.3f ms | %zu | %td |\n", Name, Alle[Alle.size() / 2],
                Alle.back(), Alle.size(), Ohne_Antwort);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    std::wstring Programm(MAX_PATH, L'\0');
    Programm.resize(GetModuleFileNameW(nullptr, Programm.data(), MAX_PATH));
    Programm = Programm.substr(0, Programm.find_last_of(L"\\/") + 1) + L"..\\wendelkamm.exe";
    if (argc > 1) {
        Programm.assign(argv[1], argv[1] + std::char_traits<char>::length(argv[1]));
    }
    const double Sekunden = argc > 2 ? std::atof(argv[2]) : 20.0;

    STARTUPINFOW Start{};
    Start.cb = sizeof Start;
    PROCESS_INFORMATION Prozess{};
    std::wstring Befehl = L"\"" + Programm + L"\"";
    if (!CreateProcessW(Programm.c_str(), Befehl.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &Start, &Prozess)) {
        std::fprintf(stderr, "cannot start the program: %lu\n", GetLastError());
        return 1;
    }
    WaitForInputIdle(Prozess.hProcess, 10000);
    HWND Fenster = nullptr;
    for (int i = 0; i < 500 && Fenster == nullptr; ++i) {
        Sleep(20);
        Fenster = Fenster_von(Prozess.dwProcessId);
    }
    if (Fenster == nullptr) {
        std::fprintf(stderr, "no window\n");
        TerminateProcess(Prozess.hProcess, 1);
        return 1;
    }
    const HWND Text1 = GetDlgItem(Fenster, IDC_TEXT1);

    std::mt19937 Zufall(19);
    const auto Ruhend = Fragen(Text1, 3.0, Zufall);
    PostMessageW(GetDlgItem(Fenster, IDC_CMDSTART), BM_CLICK, 0, 0);
    Sleep(1500); // the question and the first line
    const auto Laufend = Fragen(Text1, Sekunden, Zufall);

    std::printf("| Requests to the box | Median | Maximum | Requests | Unanswered in 5 s |\n"
                "|---|---|---|---|---|\n");
    Zeile("idle", Ruhend);
    Zeile("during a run", Laufend);

    PostMessageW(Fenster, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(Prozess.hProcess, 10000) == WAIT_TIMEOUT) {
        TerminateProcess(Prozess.hProcess, 1);
    }
    CloseHandle(Prozess.hThread);
    CloseHandle(Prozess.hProcess);
    return 0;
}
