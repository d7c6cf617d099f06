// The Qt window running for real, offscreen, with a fast clock: clicks, the text box's CR LF
// and what the screen shows during a wait.
#include "Pruefdaten.h"
#include "PrueffensterQt.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextDocument>

#include <functional>

namespace {

const std::string Frage = Fensterdefinition::Frage;
using Pruefdaten::Zeilen;

// How many pixels of the box, as the screen shows it, are dark (text).
int Dunkle_Pixel(QWidget* Fenster, QWidget* Feld) {
    const QImage Bild = Fenster->screen()->grabWindow(Fenster->winId()).toImage();
    const QRect Innen =
        QRect(Feld->mapTo(Fenster, QPoint(0, 0)), Feld->size()).adjusted(4, 4, -30, -4);
    int Dunkel = 0;
    for (int y = Innen.top(); y <= Innen.bottom(); ++y) {
        for (int x = Innen.left(); x <= Innen.right(); ++x) {
            if (qGray(Bild.pixel(x, y)) < 96) {
                ++Dunkel;
            }
        }
    }
    return Dunkel;
}

// Counts the paint events of a widget.
class Malzaehler : public QObject {
public:
    Malzaehler(QWidget* Ziel, int& Anzahl) : Anzahl(Anzahl) { Ziel->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* Ereignis) override {
        Anzahl += Ereignis->type() == QEvent::Paint;
        return false;
    }

private:
    int& Anzahl;
};

} // namespace

class FensterLauf : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { frmGoldbachQt::Zugang_einrichten(); }
    void startUndNotbremseMitDerMaus();
    void zweiterStartUndSchliessenWaehrendDesLaufs();
    void getippterTextMitCrLf();
    void strgZNimmtDieZeilenDesLaufsNichtZurueck();
    void textErsetzenUndLesenGleich_data();
    void textErsetzenUndLesenGleich();
    void leererKastenWaehrendDerWartezeitFuerZwanzig();
};

void FensterLauf::startUndNotbremseMitDerMaus() {
    // The brake, a key and a repaint come during the wait for 10, with a call as Qt's
    // accessibility bridge posts it: only the call is answered in the wait; the rest waits for
    // the top of the pass for 12, so that 10's line still appears and the key follows it.
    PrueffensterQt F;
    F.show();
    QVERIFY(QTest::qWaitForWindowExposed(&F));
    auto* Feld = F.Textfeld();
    int Malen = 0;
    Malzaehler Zaehler(Feld->viewport(), Malen);
    int Gekommen = 0, Beantwortet = 0, Beantwortet_im_Warten = -1, Gemalt_im_Warten = -1;
    std::string Tag_im_Warten;
    F.Bei_Uhrlesung = [&](PrueffensterQt& G) {
        if (G.Form().Zahl != 10) {
            return;
        }
        if (++Gekommen == 1) {
            Klick_einreihen(G.Knopf(N::cmdNotbremse));
            QCoreApplication::postEvent(Feld, new QKeyEvent(QEvent::KeyPress, Qt::Key_X,
                                                            Qt::NoModifier, QStringLiteral("x")));
            Feld->viewport()->update();
            QMetaObject::invokeMethod(
                &G, [&] { ++Beantwortet; }, Qt::QueuedConnection);
            Malen = 0;
        } else if (Gekommen == 2) {
            Tag_im_Warten = G.NotbremseTag_Lesen();
            Gemalt_im_Warten = Malen;
            Beantwortet_im_Warten = Beantwortet;
        }
    };
    QTest::mouseClick(F.Knopf(N::cmdStart), Qt::LeftButton);

    QCOMPARE(Beantwortet_im_Warten, 1);
    QCOMPARE(Tag_im_Warten, std::string("0"));
    QCOMPARE(Gemalt_im_Warten, 0);
    const std::string Erwartet = Frage + Zeilen(6, 10) + "x";
    QCOMPARE(F.Text1_Lesen(), Erwartet);
    QCOMPARE(F.NotbremseTag_Lesen(), std::string("0"));
    QCOMPARE(F.Verarbeitungen, 4);
    QCOMPARE(F.Textfeld()->toPlainText(), QString::fromStdString(Erwartet).replace("\r\n", "\n"));
}

void FensterLauf::zweiterStartUndSchliessenWaehrendDesLaufs() {
    PrueffensterQt F;
    F.show();
    QVERIFY(QTest::qWaitForWindowExposed(&F));
    F.Bei_Verarbeitung = [](PrueffensterQt& G) {
        if (G.Verarbeitungen == 2) {
            Klick_einreihen(G.Knopf(N::cmdStart)); // a nested run
        }
        if (G.Verarbeitungen == 5) {
            QMetaObject::invokeMethod(&G, &QWidget::close, Qt::QueuedConnection);
        }
    };
    QTest::mouseClick(F.Knopf(N::cmdStart), Qt::LeftButton);

    // Both runs ended at the processing that handled the close, and processed nothing more.
    QVERIFY(F.WirdGeschlossen());
    QVERIFY(!F.isVisible());
    QCOMPARE(F.Verarbeitungen, 5);
    QCOMPARE(F.Text1_Lesen(), Frage + Zeilen(6, 8));
}

void FensterLauf::getippterTextMitCrLf() {
    PrueffensterQt F;
    F.show();
    QVERIFY(QTest::qWaitForWindowExposed(&F));
    auto* Feld = F.Textfeld();
    Feld->setFocus();
    Feld->selectAll();
    Tippen(Feld, QString::fromUtf8("Grüße"));
    QTest::keyClick(Feld, Qt::Key_Return);
    QTest::keyClick(Feld, Qt::Key_Return);
    Tippen(Feld, QString::fromUtf8("möglich "));
    QCOMPARE(QString::fromStdString(F.Text1_Lesen()), QString::fromUtf8("Grüße\r\n\r\nmöglich "));

    // A run appends to it as typed: the run's line is inserted after the typed "x", and nothing
    // of the box is taken out and laid out again.
    QList<QList<int>> Aenderungen;
    connect(Feld->document(), &QTextDocument::contentsChange, [&](int Ab, int Weg, int Dazu) {
        Aenderungen.append({Ab, Weg, Dazu});
    });
    F.Bei_Verarbeitung = [](PrueffensterQt& G) {
        if (G.Verarbeitungen == 1) {
            QTest::keyClicks(G.Textfeld(), "x");
        }
        if (G.Verarbeitungen == 2) {
            Klick_einreihen(G.Knopf(N::cmdNotbremse));
        }
    };
    QTest::mouseClick(F.Knopf(N::cmdStart), Qt::LeftButton);
    QCOMPARE(F.Text1_Lesen(), Frage + "x" + Zeilen(6, 6));
    QCOMPARE(Aenderungen.last(), QList<int>({32, 0, 11}));
}

void FensterLauf::strgZNimmtDieZeilenDesLaufsNichtZurueck() {
    // The run replaces the text and then appends to it: after either there is nothing to undo.
    PrueffensterQt F;
    F.show();
    QVERIFY(QTest::qWaitForWindowExposed(&F));
    F.Bei_Verarbeitung = [](PrueffensterQt& G) {
        if (G.Verarbeitungen == 3) {
            Klick_einreihen(G.Knopf(N::cmdNotbremse));
        }
    };
    QTest::mouseClick(F.Knopf(N::cmdStart), Qt::LeftButton);
    QCOMPARE(F.Text1_Lesen(), Frage + Zeilen(6, 8));
    QTest::keyClick(F.Textfeld(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(F.Text1_Lesen(), Frage + Zeilen(6, 8));
}

void FensterLauf::textErsetzenUndLesenGleich_data() {
    QTest::addColumn<QString>("Text");
    QTest::newRow("leer") << QString();
    QTest::newRow("eine Zeile") << QString(" 6 = 3 + 3\r\n");
    QTest::newRow("ohne Zeilenende") << QString("ohne");
    QTest::newRow("Leerzeilen") << QString("\r\n\r\na\r\n\r\n");
    QTest::newRow("Umlaute, Tab, Leerzeichen am Ende")
        << QString::fromUtf8("für \tÄÖÜß \r\nunmöglich.  \r\n");
    QTest::newRow("geschütztes Leerzeichen") << QString::fromUtf8("1\u00A0900\r\n");
}

void FensterLauf::textErsetzenUndLesenGleich() {
    QFETCH(QString, Text);
    PrueffensterQt F;
    F.Text1_Ersetzen(Text.toStdString());
    QCOMPARE(QString::fromStdString(F.Text1_Lesen()), Text);
}

void FensterLauf::leererKastenWaehrendDerWartezeitFuerZwanzig() {
    PrueffensterQt F;
    F.show();
    QVERIFY(QTest::qWaitForWindowExposed(&F));
    int Dunkel_bei_18 = -1;
    int Dunkel_bei_20 = -1;
    F.Bei_Uhrlesung = [&](PrueffensterQt& G) {
        // The first clock reading of a wait is the moment the screen shows during that second.
        const int Zahl = G.Form().Zahl;
        if (Zahl == 18 && Dunkel_bei_18 < 0) {
            Dunkel_bei_18 = Dunkle_Pixel(&G, G.Textfeld());
        }
        if (Zahl == 20 && Dunkel_bei_20 < 0) {
            Dunkel_bei_20 = Dunkle_Pixel(&G, G.Textfeld());
            Klick_einreihen(G.Knopf(N::cmdNotbremse));
        }
    };
    QTest::mouseClick(F.Knopf(N::cmdStart), Qt::LeftButton);

    QVERIFY2(Dunkel_bei_18 > 100, "the lines before 18 should be on the screen");
    QCOMPARE(Dunkel_bei_20, 0);
    QCOMPARE(F.Form().Zahl, 22);
}

QTEST_MAIN(FensterLauf)
#include "tst_fenster_lauf.moc"
