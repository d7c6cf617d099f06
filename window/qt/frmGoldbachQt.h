// frmGoldbach as a Qt 6 Widgets window: built from the window's definition, it provides the
// window services to the behaviour and binds the buttons' clicks to their handlers.
#pragma once

#include "Goldbachfenster.h"

#include <QWidget>

#include <string_view>

class QPlainTextEdit;
class QPushButton;

class frmGoldbachQt : public QWidget, public Goldbachfenster {
    Q_OBJECT

public:
    // Built from a definition of the window: the program's own unless another is given. One
    // that cannot make a window ends the program with a message box, before the window is built.
    explicit frmGoldbachQt(
        const Fensterdefinition::Definition& Definition = Fensterdefinition::Standard,
        QWidget* parent = nullptr);

    // Offers the window to assistive technology as a main window (a frame, not a filler).
    // Called once at start-up, before the first window is built.
    static void Zugang_einrichten();

    void EreignisseVerarbeiten() override;
    double Ruhen(double Sekunden) override;
    float Uhrzeit() override;
    std::string Text1_Lesen() override;
    void Text1_Ersetzen(const std::string& Text) override;
    void Text1_Anhaengen(const std::string& Zeile) override;
    std::string NotbremseTag_Lesen() override;
    void NotbremseTag_Ersetzen(const std::string& Tag) override;
    [[noreturn]] void Laufzeitfehler(const std::string& Meldung) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Installed on the application while the window rests: notes each call delivered.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the newest line and puts the box on the screen at once.
    void Text1_Zeigen();
    // Gives a screen reader the line to speak, where Qt can announce (6.8 and later).
    void Ansagen(std::string_view Zeile);

    QPlainTextEdit* Text1;
    QPushButton* cmdNotbremse;
    bool Angefragt = false; // a call was delivered in the last slice of a rest
};
