// Start-up: from the moment the program is started to its window's first paint, on the X
// display in DISPLAY (run it under xvfb-run). Each iteration starts the bench-only build of the
// program afresh and takes the time it reports.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

namespace {

// The monotonic clock (CLOCK_MONOTONIC on Linux), which reads the same in every process.
long long Monoton_ns() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Starts the program and gives the nanoseconds to its first paint, or -1 when it failed.
long long Einmal_starten() {
    int Rohr[2];
    if (pipe(Rohr) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t Aktionen;
    posix_spawn_file_actions_init(&Aktionen);
    posix_spawn_file_actions_adddup2(&Aktionen, Rohr[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&Aktionen, Rohr[0]);
    std::string Programm = STARTMESSUNG;
    std::string Start = std::to_string(Monoton_ns());
    char* Argumente[] = {Programm.data(), Start.data(), nullptr};
    pid_t Pid = 0;
    const int Fehler = posix_spawn(&Pid, Programm.c_str(), &Aktionen, nullptr, Argumente, environ);
    posix_spawn_file_actions_destroy(&Aktionen);
    close(Rohr[1]);
    std::string Ausgabe;
    char Puffer[64];
    ssize_t Gelesen = 0;
    while (Fehler == 0 && (Gelesen = read(Rohr[0], Puffer, sizeof Puffer)) > 0) {
        Ausgabe.append(Puffer, static_cast<std::size_t>(Gelesen));
    }
    close(Rohr[0]);
    int Status = 0;
    if (Fehler != 0 || waitpid(Pid, &Status, 0) != Pid || !WIFEXITED(Status) ||
        WEXITSTATUS(Status) != 0 || Ausgabe.empty()) {
        return -1;
    }
    return std::stoll(Ausgabe);
}

void BM_StartBisZumErstenBild(benchmark::State& state) {
    std::vector<double> Zeiten;
    for (auto _ : state) {
        const long long ns = Einmal_starten();
        if (ns < 0) {
            state.SkipWithError("the program did not start or paint (is DISPLAY set?)");
            return;
        }
        Zeiten.push_back(static_cast<double>(ns) * 1e-9);
        state.SetIterationTime(Zeiten.back());
    }
    std::sort(Zeiten.begin(), Zeiten.end());
    state.counters["Median_ms"] = Zeiten[Zeiten.size() / 2] * 1e3;
    state.counters["Hoechstens_ms"] = Zeiten.back() * 1e3;
}

} // namespace

BENCHMARK(BM_StartBisZumErstenBild)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
