#include "Ruheuhr.h"

#include "Nachladen.h"

#include <algorithm>
#include <cmath>

namespace {

// How the one-second wait rests on time. Windows ends a wait at its timer's next tick, every
// 15.6 ms unless a program asks for more: a rest would end up to 15.6 ms after its second, and
// the clock read after it would still show the time of the tick before. Windows 10 1803 and
// later have a high-resolution waitable timer that ends a wait on time without changing the
// system's tick, so it is used where it exists; the rest waits on it together with the message
// queue. Older Windows refuse the flag (ERROR_INVALID_PARAMETER): there the system's tick is set
// to 1 ms for each rest with timeBeginPeriod, which also makes the clock run in steps of 1 ms.
// Wine 8 takes the flag and ignores it; its waits end within a millisecond either way.
constexpr DWORD Hochaufloesend = 0x00000002; // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

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

} // namespace

Ruheuhr::Ruheuhr() {
    LARGE_INTEGER Frequenz;
    QueryPerformanceFrequency(&Frequenz);
    Zaehlerfrequenz = Frequenz.QuadPart;
}

void Ruheuhr::Wecker_Erzeugen() {
    Wecker.Ersetzen(
        CreateWaitableTimerExW(nullptr, nullptr, Hochaufloesend, TIMER_MODIFY_STATE | SYNCHRONIZE));
}

double Ruheuhr::Ruhen(double Sekunden) {
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
        // The alarm, set for the rest in units of 100 ns (negative: from now). A message just
        // answered may have closed the window, and the alarm with it.
        LARGE_INTEGER Frist;
        Frist.QuadPart = -static_cast<long long>(std::ceil(Rest * 1e7));
        const HANDLE Alarm = Wecker.Wert();
        const bool Mit_Wecker =
            Alarm != nullptr && SetWaitableTimer(Alarm, &Frist, 0, nullptr, nullptr, FALSE);
        if (!Mit_Wecker && !Tick_versucht) {
            const Zeitgeberdienste& Zeitgeber = Zeitgeberdienste_Laden();
            Tick_fein = Zeitgeber.Anfangen != nullptr && Zeitgeber.Anfangen(1) == 0;
            Tick_versucht = true;
        }
        // The wait's own time-out, in whole milliseconds rounded up, never ends it early; with
        // the alarm it comes after it and only stands in for it.
        const auto Millisekunden = static_cast<DWORD>(std::ceil(Rest * 1000.0));
        MsgWaitForMultipleObjectsEx(Mit_Wecker ? 1 : 0, Mit_Wecker ? &Alarm : nullptr,
                                    Millisekunden, QS_SENDMESSAGE, 0);
    }
    if (Tick_fein) {
        Zeitgeberdienste_Laden().Beenden(1);
    }
    return static_cast<double>(Zaehlerstand() - Anfang) / Zaehler_je_Sekunde;
}

float Ruheuhr::Uhrzeit() {
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
