// What one pass of the run costs beyond its one-second wait and its search, through the real
// Qt window: its event processing, the clear, the flag, reading the box and writing it back.
// The window's clock jumps a second per reading, so the wait ends at its second reading, and the
// search (a few hundred nanoseconds for these small numbers) is timed apart and taken off.
// Run it offscreen (QT_QPA_PLATFORM=offscreen) and on an X server (under xvfb-run).
#include "Pruefdaten.h"
#include "Schnelluhr.h"
#include "frmGoldbachQt.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

using Uhr = std::chrono::steady_clock;

// The clock jumps a second per reading.
class Messfenster : public Schnelluhr<frmGoldbachQt, Messfenster> {
public:
    Messfenster() { Schritt = 1.0; }
};

double Suchdauer(std::int32_t n) {
    const auto Anfang = Uhr::now();
    double p = std::floor(n / 2.0);
    std::int32_t Gefunden = 0;
    frmGoldbach::Zerlegung_Suchen(n, p, Gefunden);
    benchmark::DoNotOptimize(p);
    return std::chrono::duration<double>(Uhr::now() - Anfang).count();
}

enum class Kasten { Lauf, Block, Megabyte };

// Runs Durchgaenge passes per iteration and reports their median and 90th percentile.
void Durchgang(benchmark::State& state, Kasten Art, int Durchgaenge) {
    Messfenster F;
    F.show();
    while (!F.windowHandle() || !F.windowHandle()->isExposed()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const std::string Neun_Zeilen = Pruefdaten::Zeilen(20, 36);
    std::vector<double> Alle;
    for (auto _ : state) {
        std::vector<double> Dauern;
        Uhr::time_point Anfang{};
        double Suche = 0.0;
        F.Verarbeitungen = 0;
        F.Bei_Verarbeitung = [&](Messfenster& G) {
            const auto Jetzt = Uhr::now();
            if (G.Verarbeitungen > 1) {
                Dauern.push_back(std::chrono::duration<double>(Jetzt - Anfang).count() - Suche);
            }
            if (G.Verarbeitungen > Durchgaenge) {
                G.Form().cmdNotbremse_Click();
                return;
            }
            switch (Art) {
            case Kasten::Lauf: // the run as it goes: 0 to 10 lines in the box
                break;
            case Kasten::Block: // nine lines of the block 20 ... 38 written; 38 comes next
                G.Text1_Ersetzen(Neun_Zeilen);
                G.Form().Zahl = 38;
                break;
            case Kasten::Megabyte: // the megabyte typed below the question; never cleared
                if (G.Verarbeitungen == 1) {
                    QGuiApplication::clipboard()->setText(
                        QString::fromStdString(Pruefdaten::Megabyte()));
                    G.findChild<QPlainTextEdit*>(
                         QString::fromUtf8(Fensterdefinition::Namen::Text1.data()))
                        ->paste();
                }
                if (G.Form().Zahl % 20 == 0) {
                    G.Form().Zahl += 2;
                }
                break;
            }
            Suche = Suchdauer(G.Form().Zahl);
            Anfang = Uhr::now();
        };
        F.Form().cmdStart_Click();
        double Summe = 0.0;
        for (const double d : Dauern) {
            Summe += d;
        }
        state.SetIterationTime(Summe / static_cast<double>(Dauern.size()));
        Alle.insert(Alle.end(), Dauern.begin(), Dauern.end());
    }
    std::sort(Alle.begin(), Alle.end());
    state.counters["Median_ms"] = Alle[Alle.size() / 2] * 1e3;
    state.counters["P90_ms"] = Alle[Alle.size() * 9 / 10] * 1e3;
    state.counters["Hoechstens_ms"] = Alle.back() * 1e3;
    state.counters["Durchgaenge"] = static_cast<double>(Alle.size());
    state.SetLabel(QGuiApplication::platformName().toStdString());
}

} // namespace

BENCHMARK_CAPTURE(Durchgang, Lauf, Kasten::Lauf, 200)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Durchgang, VollerBlock, Kasten::Block, 200)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Durchgang, Megabyte, Kasten::Megabyte, 20)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    frmGoldbachQt::Zugang_einrichten();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
