// The Qt window as it opens, offscreen: sizes, fonts, tab order, focus, the note, the tags, the
// text box's behaviour and the icon.
#include "frmGoldbachQt.h"

#include <QAccessible>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace {

QString Qt_Text(std::string_view Text) {
    return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
}

namespace N = Fensterdefinition::Namen;

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
    void schriften_data();
    void schriften();
    void tabulatorfolgeUndFokus();
    void umgeordneteDefinitionAendertNurDieTabulatorfolge();
    void hinweisImTextfeld();
    void tagsUndNotbremseImLeerlauf();
    void textfeldRollbalkenUndUmbruch();
    void groesseAendernLaesstSteuerelementeStehen();
    void symbolInZweiGroessen();
};

void FensterAufbau::fensterGroesseUndBeschriftung() {
    QCOMPARE(F->windowTitle(), QString("Wendelkamm"));
    QCOMPARE(F->size(), QSize(430, 393)); // 6450 x 5895 twips at 96 dpi
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
    QTest::addColumn<QRect>("Rechteck");
    QTest::newRow(N::Text1.data()) << Qt_Text(N::Text1) << QRect(16, 16, 401, 317);
    QTest::newRow(N::cmdStart.data()) << Qt_Text(N::cmdStart) << QRect(16, 336, 185, 49);
    QTest::newRow(N::cmdNotbremse.data()) << Qt_Text(N::cmdNotbremse) << QRect(232, 336, 185, 49);
}

void FensterAufbau::steuerelemente() {
    QFETCH(QString, Name);
    QFETCH(QRect, Rechteck);
    auto* Element = F->findChild<QWidget*>(Name);
    QVERIFY(Element);
    QCOMPARE(Element->geometry(), Rechteck);
    QVERIFY(Element->isVisible());
    QVERIFY(Element->isEnabled());
}

void FensterAufbau::schriften_data() {
    QTest::addColumn<QString>("Name");
    QTest::addColumn<double>("Punkt");
    QTest::newRow(N::Text1.data()) << Qt_Text(N::Text1) << 19.5;
    QTest::newRow(N::cmdStart.data()) << Qt_Text(N::cmdStart) << 13.5;
    QTest::newRow(N::cmdNotbremse.data()) << Qt_Text(N::cmdNotbremse) << 13.5;
}

void FensterAufbau::schriften() {
    QFETCH(QString, Name);
    QFETCH(double, Punkt);
    auto* Element = F->findChild<QWidget*>(Name);
    QVERIFY(Element);
    const QFont Font = Element->font();
    QCOMPARE(Font.family(), QString("Times New Roman"));
    QCOMPARE(Font.pointSizeF(), Punkt);
    QCOMPARE(Font.weight(), QFont::Normal);
    QVERIFY(!Font.italic() && !Font.underline() && !Font.strikeOut());

    // As resolved: a face with the metrics of Times New Roman, at the size asked for. Without
    // fonts-liberation the family comes back empty or as some sans serif face.
    const QFontInfo Info(Font);
    const QStringList Gleich_breit = {"Times New Roman", "Liberation Serif", "Tinos"};
    QVERIFY2(Gleich_breit.contains(Info.family()),
             qPrintable("resolved to '" + Info.family() + "'"));
    QCOMPARE(Info.pointSizeF(), Punkt);
    QCOMPARE(Info.weight(), int(QFont::Normal));
    QVERIFY(!Info.italic());
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
    QCOMPARE(Feld->geometry(), QRect(16, 16, 401, 317));
    QCOMPARE(Bremse->text(), QString("Notbremse"));
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
    const QStringList Zeilen = {
        "KORVANT hatte im Jahr 1900 die ",
        "Frage aufgeworfen: ",
        "Gibt es einen Algorithmus, durch den ",
        QString::fromUtf8("f\xC3\xBCr jede (ausreichend formalisierte) "),
        "Aussage der Mathematik entschieden ",
        "werden kann, ob diese wahr oder ",
        "falsch ist? ",
        "",
        "Velschor beweist im Jahre 1936, ",
        QString::fromUtf8("dass das unm\xC3\xB6glich ist."),
    };
    // The note as it is to read, in the window's definition and in the box.
    const QString Hinweis = Zeilen.join("\r\n") + "\r\n";
    QCOMPARE(Qt_Text(Fensterdefinition::Standard.Element(N::Text1).Inhalt), Hinweis);
    QCOMPARE(QString::fromStdString(F->Text1_Lesen()), Hinweis);
    // The note opens at its first line.
    QCOMPARE(Text1()->verticalScrollBar()->value(), 0);
    QVERIFY(!Text1()->isReadOnly());
}

void FensterAufbau::tagsUndNotbremseImLeerlauf() {
    QCOMPARE(F->NotbremseTag_Lesen(), std::string("0"));
    QCOMPARE(Knopf(N::cmdStart)->property("Tag").toString(), QString());

    const std::string Vorher = F->Text1_Lesen();
    QTest::mouseClick(Knopf(N::cmdNotbremse), Qt::LeftButton);
    QCOMPARE(F->NotbremseTag_Lesen(), std::string("1"));
    QCOMPARE(F->Text1_Lesen(), Vorher);
    QCOMPARE(Knopf(N::cmdNotbremse)->text(), QString("Notbremse"));
    QCOMPARE(Knopf(N::cmdStart)->text(), QString("Start"));
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
    for (const QSize Groesse : {QSize(800, 600), QSize(200, 120), QSize(430, 393)}) {
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

QTEST_MAIN(FensterAufbau)
#include "tst_fenster_aufbau.moc"
