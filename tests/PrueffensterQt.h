// The real Qt window for tests, offscreen, with the fast clock: a record of how deep the runs went
// and how much stack that took, and clicks and keys as a user makes them.
#pragma once

#include "Schnelluhr.h"
#include "frmGoldbachQt.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <string>

namespace N = Fensterdefinition::Namen;

// A failed QCOMPARE of two texts shows them.
template <> inline char* QTest::toString(const std::string& Text) {
    return QTest::toPrettyCString(Text.data(), static_cast<qsizetype>(Text.size()));
}

class PrueffensterQt : public Schnelluhr<frmGoldbachQt, PrueffensterQt> {
public:
    int Tiefste = 0;
    const char* Stapel_oben = nullptr;  // a local of the first run's first processing
    const char* Stapel_unten = nullptr; // the same at the innermost run's first processing

    void EreignisseVerarbeiten() override {
        const char Hier = 0;
        if (Form().Laeufe() > Tiefste) {
            Tiefste = Form().Laeufe();
            (Tiefste == 1 ? Stapel_oben : Stapel_unten) = &Hier;
        }
        Schnelluhr::EreignisseVerarbeiten();
    }

    QPushButton* Knopf(std::string_view Name) {
        return findChild<QPushButton*>(QString::fromUtf8(Name.data(), Name.size()));
    }
    QPlainTextEdit* Textfeld() {
        return findChild<QPlainTextEdit*>(QString::fromUtf8(N::Text1.data(), N::Text1.size()));
    }
};

// A click as a user makes it: press and release posted to the queue, handled at the run's next
// event processing.
inline void Klick_einreihen(QPushButton* Knopf) {
    const QPoint Mitte = Knopf->rect().center();
    QCoreApplication::postEvent(Knopf, new QMouseEvent(QEvent::MouseButtonPress, Mitte,
                                                       Knopf->mapToGlobal(Mitte), Qt::LeftButton,
                                                       Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(Knopf, new QMouseEvent(QEvent::MouseButtonRelease, Mitte,
                                                       Knopf->mapToGlobal(Mitte), Qt::LeftButton,
                                                       Qt::NoButton, Qt::NoModifier));
}

// Types the text as key presses, umlauts included.
inline void Tippen(QWidget* Feld, const QString& Text) {
    for (const QChar Zeichen : Text) {
        QKeyEvent Druck(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(Zeichen));
        QKeyEvent Los(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(Zeichen));
        QCoreApplication::sendEvent(Feld, &Druck);
        QCoreApplication::sendEvent(Feld, &Los);
    }
}
