// The Qt window under load, offscreen, with a fast clock: a thousand runs nested by a burst of
// Start clicks and unwound by brakes or by one close, and a megabyte of typed text that the run
// appends fifty lines to.
#include "Pruefdaten.h"
#include "PrueffensterQt.h"

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>

namespace {

constexpr int Grenze = frmGoldbach::Laeufe_hoechstens;
const std::string Frage = Fensterdefinition::Frage;
using Pruefdaten::Zeile;

// Qt's GLib event dispatcher delivers a backlog of posted events at a nested processing only
// once something new has been posted (a window system's clicks come another way and are not
// held back). While a burst of posted clicks is still queued, each processing posts an empty
// call, so that the burst reaches the runs as fast as a user's clicks would.
void Anstossen(QObject* Ziel) {
    QMetaObject::invokeMethod(
        Ziel, [] {}, Qt::QueuedConnection);
}

void Starts_einreihen(PrueffensterQt& F, int Anzahl) {
    for (int i = 0; i < Anzahl; ++i) {
        Klick_einreihen(F.Knopf(N::cmdStart));
    }
}

// Stack taken by the runs nested between the first and the innermost.
std::ptrdiff_t Stapelbedarf(const PrueffensterQt& F) {
    return F.Stapel_oben - F.Stapel_unten;
}

// The same text as the box gives it back: every line end a CR LF.
std::string Mit_CrLf(const QString& Text) {
    std::string Ein = Text.toStdString();
    std::string Aus;
    for (std::size_t i = 0; i < Ein.size(); ++i) {
        if (Ein[i] == '\r' || Ein[i] == '\n') {
            Aus += "\r\n";
            if (Ein[i] == '\r' && i + 1 < Ein.size() && Ein[i + 1] == '\n') {
                ++i;
            }
        } else {
            Aus += Ein[i];
        }
    }
    return Aus;
}

} // namespace

class StressFenster : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { frmGoldbachQt::Zugang_einrichten(); }
    void tausendStartsUndTausendBremsen();
    void tausendStartsUndEinSchliessenMitStatusNull();
    void megabyteGetipptUeberlebtFuenfzigZeilen();
};

void StressFenster::tausendStartsUndTausendBremsen() {
    PrueffensterQt F;
    F.show();
    QVERIFY(QTest::qWaitForWindowExposed(&F));
    // One click more than the limit allows: the innermost run refuses it and goes on.
    Starts_einreihen(F, Grenze + 1);
    int Bremsen = 0;
    std::int32_t Zahl_nach_Abweisung = 0;
    F.Bei_Verarbeitung = [&](PrueffensterQt& G) {
        if (G.Tiefste < Grenze) {
            Anstossen(&G);
            return;
        }
        if (Zahl_nach_Abweisung == 0 && G.Form().Zahl != 6) {
            Zahl_nach_Abweisung = G.Form().Zahl; // the innermost run's second pass
        }
        if (Zahl_nach_Abweisung != 0 && G.Form().Laeufe() > 0) {
            Klick_einreihen(G.Knopf(N::cmdNotbremse));
            ++Bremsen;
        }
    };
    QCoreApplication::processEvents(); // the one processing that finds the burst waiting

    QCOMPARE(F.Tiefste, Grenze);
    QCOMPARE(F.Form().Laeufe(), 0);
    QCOMPARE(Zahl_nach_Abweisung, 8); // not set back to 6 by the refused click
    // Each run took one brake. The innermost wrote the line for 6; every run around it went on
    // from the number the run inside had left and wrote one line before its own brake: the
    // outermost wrote 2004, after the clear at 2000.
    QCOMPARE(Bremsen, Grenze);
    QCOMPARE(F.NotbremseTag_Lesen(), std::string("0"));
    QCOMPARE(F.Form().Zahl, 6 + 2 * Grenze);
    QCOMPARE(F.Text1_Lesen(), Zeile(2000) + Zeile(2002) + Zeile(2004));
    QVERIFY(F.isVisible());

    // The thousand runs must leave at least half of the stack free for the work of the
    // innermost run (they take a quarter of the usual 8 MiB, 40 % with the sanitizers).
    rlimit Stapel{};
    QCOMPARE(getrlimit(RLIMIT_STACK, &Stapel), 0);
    const std::ptrdiff_t Bedarf = Stapelbedarf(F);
    qInfo("%d nested runs took %td bytes of stack (%td per run)", Grenze, Bedarf,
          Bedarf / (Grenze - 1));
    QVERIFY(Bedarf > 0);
    if (Stapel.rlim_cur != RLIM_INFINITY) {
        QVERIFY2(static_cast<rlim_t>(Bedarf) * 2 <= Stapel.rlim_cur,
                 "the limit of nested runs is too high for this stack");
    }
}

void StressFenster::tausendStartsUndEinSchliessenMitStatusNull() {
    // As the program runs: the window shown, the event loop running; the close comes while a
    // thousand runs are active, and the event loop must end with status 0.
    QApplication::setQuitOnLastWindowClosed(true);
    PrueffensterQt F;
    F.show();
    QVERIFY(QTest::qWaitForWindowExposed(&F));
    Starts_einreihen(F, Grenze);
    bool Geschlossen = false;
    F.Bei_Verarbeitung = [&](PrueffensterQt& G) {
        if (G.Tiefste < Grenze) {
            Anstossen(&G);
        } else if (!Geschlossen) {
            Geschlossen = true;
            QMetaObject::invokeMethod(&G, &QWidget::close, Qt::QueuedConnection);
        }
    };
    // Should the event loop not end, this ends it with a status that fails the test.
    QTimer Notausgang;
    Notausgang.setSingleShot(true);
    connect(&Notausgang, &QTimer::timeout, qApp, [] { QCoreApplication::exit(2); });
    Notausgang.start(60000);
    const int Status = QApplication::exec();

    QCOMPARE(Status, 0);
    QVERIFY(Geschlossen);
    QCOMPARE(F.Tiefste, Grenze);
    QCOMPARE(F.Form().Laeufe(), 0);
    QVERIFY(!F.isVisible());
    // The innermost run saw the close at its first processing: no run wrote a line or
    // processed events again.
    QCOMPARE(F.Verarbeitungen, Grenze);
    QCOMPARE(F.Text1_Lesen(), Frage);
}

void StressFenster::megabyteGetipptUeberlebtFuenfzigZeilen() {
    PrueffensterQt F;
    F.show();
    QVERIFY(QTest::qWaitForWindowExposed(&F));
    const QString Eingabe = QString::fromStdString(Pruefdaten::Megabyte());
    std::string Vorher;
    std::string Zeilen;
    int Geschrieben = 0;
    F.Bei_Verarbeitung = [&](PrueffensterQt& G) {
        if (G.Verarbeitungen == 1) {
            // Below the question: a few keys typed (the Tab key moves the focus in this box,
            // so tabs come with the paste), then the megabyte pasted.
            auto* Feld = G.Textfeld();
            Feld->setFocus();
            Tippen(Feld, QString::fromUtf8("Äö"));
            QTest::keyClick(Feld, Qt::Key_Return);
            QGuiApplication::clipboard()->setText(Eingabe);
            Feld->paste();
            Vorher = G.Text1_Lesen();
        }
        // Keep the run off the multiples of 20, whose pass would clear the box.
        if (G.Form().Zahl % 20 == 0) {
            G.Form().Zahl += 2;
        }
        Geschrieben = G.Verarbeitungen - 1; // one line in each pass before this one
        if (Geschrieben < 50) {
            Zeilen += Zeile(G.Form().Zahl);
        } else {
            Klick_einreihen(G.Knopf(N::cmdNotbremse));
        }
    };
    QTest::mouseClick(F.Knopf(N::cmdStart), Qt::LeftButton);

    QCOMPARE(Geschrieben, 50);
    const std::string Erwartet_vorher = Frage + "Äö\r\n" + Mit_CrLf(Eingabe);
    QVERIFY(Erwartet_vorher.size() > 1024 * 1024);
    QCOMPARE(Vorher.size(), Erwartet_vorher.size());
    QVERIFY2(Vorher == Erwartet_vorher, "the pasted text did not arrive as typed");
    const std::string Nachher = F.Text1_Lesen();
    QCOMPARE(Nachher.size(), Vorher.size() + Zeilen.size());
    QVERIFY2(Nachher == Vorher + Zeilen, "the typed text or the lines changed");
}

QTEST_MAIN(StressFenster)
#include "tst_stress_fenster.moc"
