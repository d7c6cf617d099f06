// The Qt window as it opens, offscreen: sizes, fonts, tab order, focus, the note, the tags, the
// text box's behaviour and the icon, each as the window's definition has it; and the refusal of
// a definition that cannot make a window.
#include "frmGoldbachQt.h"

#include <QAccessible>
#include <QFontInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

QString Qt_Text(std::string_view Text) {
    return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
}

namespace D = Fensterdefinition;
namespace N = D::Namen;

// Where the window puts a control, at 96 dpi.
QRect Rechteck(std::string_view Name) {
    const auto [Links, Oben, Breite, Hoehe] = D::Pixel(D::Standard.Element(Name));
    return {Links, Oben, Breite, Hoehe};
}

} // namespace

class FensterAufbau : public QObject {
    Q_OBJECT

    frmGoldbachQt* F = nullptr;
    QPlainTextEdit* Text1() { return F->findChild<QPlainTextEdit*>(Qt_Text(N::Text1)); }
    QPushButton* Knopf(std::string_view Name) { return F->findChild<QPushButton*>(Qt_Text(Name)); }

private slots:
    void initTestCase() { frmGoldbachQt::Zugang_einrichten(); }
    void init() {
        F = new frmGoldbachQt;
        F->show();
        QVERIFY(QTest::qWaitForWindowExposed(F));
    }
    void cleanup() { delete F; }

    void fensterGroesseUndBeschriftung();
    void steuerelemente_data();
    void steuerelemente();
    void tabulatorfolgeUndFokus();
    void umgeordneteDefinitionAendertNurDieTabulatorfolge();
    void hinweisImTextfeld();
    void tagsUndNotbremseImLeerlauf();
    void textfeldRollbalkenUndUmbruch();
    void groesseAendernLaesstSteuerelementeStehen();
    void symbolInZweiGroessen();
    void unbrauchbareDefinitionBeendetMitMeldung();
};

void FensterAufbau::fensterGroesseUndBeschriftung() {
    QCOMPARE(F->windowTitle(), Qt_Text(D::Standard.Beschriftung));
    QCOMPARE(F->size(), QSize(D::Pixel(D::Standard.Innenbreite), D::Pixel(D::Standard.Innenhoehe)));
    QVERIFY(F->isWindow());
    const Qt::WindowFlags Flags = F->windowFlags();
    QVERIFY(Flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(Flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(Flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(Flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!Flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
    QVERIFY(F->minimumSize() != F->maximumSize()); // sizable
    // To assistive technology a main window (a frame), not a filler.
    QCOMPARE(QAccessible::queryAccessibleInterface(F)->role(), QAccessible::Window);
}

void FensterAufbau::steuerelemente_data() {
    QTest::addColumn<QString>("Name");
    for (const auto& Element : D::Standard.Steuerelemente) {
        QTest::newRow(Element.Name.data()) << Qt_Text(Element.Name);
    }
}

void FensterAufbau::steuerelemente() {
    QFETCH(QString, Name);
    const D::Steuerelement& Definiert = D::Standard.Element(Name.toStdString());
    auto* Element = F->findChild<QWidget*>(Name);
    QVERIFY(Element);
    QCOMPARE(Element->geometry(), Rechteck(Definiert.Name));
    QVERIFY(Element->isVisible());
    QVERIFY(Element->isEnabled());
    if (auto* Knopf = qobject_cast<QPushButton*>(Element)) {
        QCOMPARE(Knopf->text(), Qt_Text(Definiert.Inhalt));
    }

    const D::Schrift& Schrift = Definiert.Schrift;
    const QFont Font = Element->font();
    QCOMPARE(Font.family(), Qt_Text(Schrift.Name));
    QCOMPARE(Font.pointSizeF(), Schrift.Punkt);
    QCOMPARE(static_cast<int>(Font.weight()), Schrift.Gewicht);
    QCOMPARE(Font.italic(), Schrift.Kursiv);
    QCOMPARE(Font.underline(), Schrift.Unterstrichen);
    QCOMPARE(Font.strikeOut(), Schrift.Durchgestrichen);

    // As resolved: a face with the metrics of Times New Roman, at the size asked for. Without
    // fonts-liberation the family comes back empty or as some sans serif face.
    const QFontInfo Info(Font);
    const QStringList Gleich_breit = {"Times New Roman", "Liberation Serif", "Tinos"};
    QVERIFY2(Gleich_breit.contains(Info.family()),
             qPrintable("resolved to '" + Info.family() + "'"));
    QCOMPARE(Info.pointSizeF(), Schrift.Punkt);
    QCOMPARE(static_cast<int>(Info.weight()), Schrift.Gewicht);
    QCOMPARE(Info.italic(), Schrift.Kursiv);
}

void FensterAufbau::tabulatorfolgeUndFokus() {
    F->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(F));
    QCOMPARE(QApplication::focusWidget(), Text1());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Knopf(N::cmdStart));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Knopf(N::cmdNotbremse));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Text1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), Knopf(N::cmdNotbremse));

    // Return and Enter press the button in focus, as on Windows.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(F->NotbremseTag_Lesen(), std::string("1"));
    F->NotbremseTag_Ersetzen("0");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(F->NotbremseTag_Lesen(), std::string("1"));
}

void FensterAufbau::umgeordneteDefinitionAendertNurDieTabulatorfolge() {
    // The same window with the definition's list in another order: each control is still
    // itself, found by its name; only Tab follows the list.
    Fensterdefinition::Definition Umgeordnet = Fensterdefinition::Standard;
    auto& Liste = Umgeordnet.Steuerelemente;
    std::reverse(Liste.begin(), Liste.end()); // cmdNotbremse, cmdStart, Text1
    frmGoldbachQt G(Umgeordnet);
    G.show();
    G.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&G));

    auto* Feld = G.findChild<QPlainTextEdit*>(Qt_Text(N::Text1));
    auto* Bremse = G.findChild<QPushButton*>(Qt_Text(N::cmdNotbremse));
    QVERIFY(Feld && Bremse);
    QCOMPARE(Feld->geometry(), Rechteck(N::Text1));
    QCOMPARE(Bremse->text(), Qt_Text(D::Standard.Element(N::cmdNotbremse).Inhalt));
    QCOMPARE(G.Text1_Lesen(), F->Text1_Lesen());
    QCOMPARE(G.NotbremseTag_Lesen(), std::string("0"));

    QCOMPARE(QApplication::focusWidget(), Feld);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Bremse);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), G.findChild<QPushButton*>(Qt_Text(N::cmdStart)));
    QTest::mouseClick(Bremse, Qt::LeftButton);
    QCOMPARE(G.NotbremseTag_Lesen(), std::string("1"));
}

void FensterAufbau::hinweisImTextfeld() {
    QCOMPARE(F->Text1_Lesen(), std::string(D::Standard.Element(N::Text1).Inhalt));
    // The note opens at its first line.
    QCOMPARE(Text1()->verticalScrollBar()->value(), 0);
    QVERIFY(!Text1()->isReadOnly());
}

void FensterAufbau::tagsUndNotbremseImLeerlauf() {
    QCOMPARE(F->NotbremseTag_Lesen(), std::string(D::Standard.Element(N::cmdNotbremse).Tag));
    QCOMPARE(Knopf(N::cmdStart)->property("Tag").toString(),
             Qt_Text(D::Standard.Element(N::cmdStart).Tag));

    const std::string Vorher = F->Text1_Lesen();
    QTest::mouseClick(Knopf(N::cmdNotbremse), Qt::LeftButton);
    QCOMPARE(F->NotbremseTag_Lesen(), std::string("1"));
    QCOMPARE(F->Text1_Lesen(), Vorher);
    QCOMPARE(Knopf(N::cmdNotbremse)->text(), Qt_Text(D::Standard.Element(N::cmdNotbremse).Inhalt));
}

void FensterAufbau::textfeldRollbalkenUndUmbruch() {
    auto* Feld = Text1();
    QCOMPARE(Feld->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(Feld->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QVERIFY(Feld->verticalScrollBar()->isVisible());
    QVERIFY(!Feld->horizontalScrollBar()->isVisible());

    F->Text1_Ersetzen(std::string(60, 'x') + " " + std::string(20, 'y') + "\r\n");
    QApplication::processEvents();
    const QTextBlock Erste = Feld->document()->firstBlock();
    QVERIFY(Erste.layout()->lineCount() >= 2);
    QCOMPARE(Feld->horizontalScrollBar()->maximum(), 0);
}

void FensterAufbau::groesseAendernLaesstSteuerelementeStehen() {
    QList<QRect> Vorher;
    const auto Elemente = {static_cast<QWidget*>(Text1()),
                           static_cast<QWidget*>(Knopf(N::cmdStart)),
                           static_cast<QWidget*>(Knopf(N::cmdNotbremse))};
    for (auto* Element : Elemente) {
        Vorher << Element->geometry();
    }
    for (const QSize Groesse : {QSize(800, 600), QSize(200, 120), F->size()}) {
        F->resize(Groesse);
        QApplication::processEvents();
        QCOMPARE(F->size(), Groesse);
        int i = 0;
        for (auto* Element : Elemente) {
            QCOMPARE(Element->geometry(), Vorher[i++]);
        }
    }
}

void FensterAufbau::symbolInZweiGroessen() {
    const QIcon Symbol = F->windowIcon();
    QVERIFY(!Symbol.isNull());
    const QList<QSize> Groessen = Symbol.availableSizes();
    QVERIFY2(Groessen.contains(QSize(16, 16)), "no 16 x 16 image");
    QVERIFY2(Groessen.contains(QSize(32, 32)), "no 32 x 32 image");

    // Yellow in the middle of the face, transparent in the corner, in both images.
    for (const int Seite : {16, 32}) {
        const QImage Bild = Symbol.pixmap(Seite, Seite).toImage();
        QCOMPARE(Bild.size(), QSize(Seite, Seite));
        QCOMPARE(qAlpha(Bild.pixel(0, 0)), 0);
        const QColor Mitte = Bild.pixelColor(Seite / 2, Seite / 2 + Seite / 8);
        QCOMPARE(Mitte, QColor(255, 255, 0));

        // The icon theme's PNG is the same picture, pixel for pixel.
        const QImage Png(QStringLiteral(WENDELKAMM_SYMBOLE "/wendelkamm-%1.png").arg(Seite));
        QCOMPARE(Png.convertToFormat(QImage::Format_ARGB32),
                 Bild.convertToFormat(QImage::Format_ARGB32));
    }
}

void FensterAufbau::unbrauchbareDefinitionBeendetMitMeldung() {
    // The window refuses it with a message box, before it is built, and the program ends with
    // status 1: in a process of its own, which prints what the box says.
    D::Definition Verdorben = D::Standard;
    Verdorben.Fokus = "Text2";
    if (qEnvironmentVariableIsSet("VERDORBENE_DEFINITION")) {
        QTimer::singleShot(0, [] {
            auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            std::printf("%s: %s\n", qPrintable(Box->windowTitle()), qPrintable(Box->text()));
            std::fflush(stdout);
            Box->accept();
        });
        frmGoldbachQt G(Verdorben);
        QFAIL("the window was built");
    }
    QProcess Programm;
    Programm.setEnvironment(QProcess::systemEnvironment() << "VERDORBENE_DEFINITION=1");
    Programm.start(QCoreApplication::applicationFilePath(), {QTest::currentTestFunction()});
    QVERIFY(Programm.waitForFinished(30000));
    QCOMPARE(Programm.exitCode(), EXIT_FAILURE);
    const std::string Meldung =
        std::string(D::Standard.Beschriftung) + ": " + Goldbachfenster::Mangel(Verdorben);
    QVERIFY2(Programm.readAllStandardOutput().contains(Meldung.c_str()), Meldung.c_str());
}

QTEST_MAIN(FensterAufbau)
#include "tst_fenster_aufbau.moc"
