#include "frmGoldbachQt.h"

#include "Fensterdefinition.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTime>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// The window is a main window to assistive technology (a frame, not a filler).
QAccessibleInterface* Fensterzugang(const QString& Klasse, QObject* Objekt) {
    if (Klasse == QLatin1String("frmGoldbachQt") && Objekt->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(Objekt), QAccessible::Window);
    }
    return nullptr;
}

QString Qt_Text(std::string_view Text) {
    return QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
}

QFont Qt_Schrift(const Fensterdefinition::Schrift& Schrift) {
    QFont Font(Qt_Text(Schrift.Name));
    Font.setStyleHint(QFont::Serif);
    Font.setPointSizeF(Schrift.Punkt);
    Font.setWeight(static_cast<QFont::Weight>(Schrift.Gewicht));
    Font.setItalic(Schrift.Kursiv);
    Font.setUnderline(Schrift.Unterstrichen);
    Font.setStrikeOut(Schrift.Durchgestrichen);
    return Font;
}

// At 96 dpi: Qt scales the window as a whole on screens of other densities.
QRect Qt_Rechteck(const Fensterdefinition::Steuerelement& Element) {
    const auto [Links, Oben, Breite, Hoehe] = Fensterdefinition::Pixel(Element);
    return {Links, Oben, Breite, Hoehe};
}

QPushButton* Knopf(const Fensterdefinition::Steuerelement& Element, QWidget* Fenster) {
    auto* Knopf = new QPushButton(Qt_Text(Element.Inhalt), Fenster);
    Knopf->setObjectName(Qt_Text(Element.Name));
    Knopf->setGeometry(Qt_Rechteck(Element));
    Knopf->setFont(Qt_Schrift(Element.Schrift));
    // Enter and Return press the button in focus, as Windows users know it.
    Knopf->setAutoDefault(true);
    Knopf->setProperty("Tag", Qt_Text(Element.Tag));
    return Knopf;
}

// The box's scroll bar, which does not paint itself again for a new page step while there is
// nothing to scroll: the box changes its page step with every line, and painting the bar is a
// large fill that Qt's raster engine splits over its thread pool.
class Rollbalken : public QScrollBar {
public:
    using QScrollBar::QScrollBar;

protected:
    void sliderChange(SliderChange Aenderung) override {
        if (Aenderung != SliderStepsChange || minimum() != maximum()) {
            QScrollBar::sliderChange(Aenderung);
        }
    }
};

QPlainTextEdit* Textfeld(const Fensterdefinition::Steuerelement& Element, QWidget* Fenster) {
    auto* Feld = new QPlainTextEdit(Fenster);
    Feld->setVerticalScrollBar(new Rollbalken(Qt::Vertical, Feld));
    Feld->setObjectName(Qt_Text(Element.Name));
    Feld->setAccessibleName(Qt_Text(Element.Zugangsname));
    Feld->setGeometry(Qt_Rechteck(Element));
    Feld->setFont(Qt_Schrift(Element.Schrift));
    Feld->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Feld->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Feld->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Feld->setTabChangesFocus(true);
    // The note opens at its first line.
    Feld->setPlainText(
        Qt_Text(Element.Inhalt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    return Feld;
}

// Shows an error to the user in a message box with that caption, and ends the program.
[[noreturn]] void Melden_und_beenden(QWidget* Fenster, const QString& Beschriftung,
                                     const std::string& Meldung) {
    QMessageBox::critical(Fenster, Beschriftung, QString::fromStdString(Meldung));
    std::exit(EXIT_FAILURE);
}

} // namespace

frmGoldbachQt::frmGoldbachQt(const Fensterdefinition::Definition& Definition, QWidget* parent)
    : QWidget(parent), Goldbachfenster(Definition) {
    using Fensterdefinition::Pixel;
    // A definition that cannot make a window is refused before anything of the window is built.
    if (const std::string Fehler = Mangel(Definition); !Fehler.empty()) {
        Melden_und_beenden(nullptr, Qt_Text(Definition.Beschriftung), Fehler);
    }
    setObjectName("frmGoldbach");
    // An ordinary sizable window with title bar, system menu, minimise and maximise buttons.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowTitle(Qt_Text(Definition.Beschriftung));
    setWindowIcon(QIcon(QStringLiteral(":/wendelkamm.ico")));
    resize(Pixel(Definition.Innenbreite), Pixel(Definition.Innenhoehe));

    // Made in the definition's order, so that Tab follows it.
    for (const auto& Element : Definition.Steuerelemente) {
        if (Element.Typ == Fensterdefinition::Art::Textfeld) {
            Textfeld(Element, this);
        } else {
            connect(Knopf(Element, this), &QPushButton::clicked, this,
                    [this, Name = Element.Name] { Klicken(Name); });
        }
    }
    namespace Namen = Fensterdefinition::Namen;
    Text1 = findChild<QPlainTextEdit*>(Qt_Text(Namen::Text1));
    cmdNotbremse = findChild<QPushButton*>(Qt_Text(Namen::cmdNotbremse));
    // The focus starts where the definition puts it.
    findChild<QWidget*>(Qt_Text(Definition.Fokus))->setFocus();
}

void frmGoldbachQt::Zugang_einrichten() {
    QAccessible::installFactory(Fensterzugang);
}

void frmGoldbachQt::EreignisseVerarbeiten() {
    QCoreApplication::processEvents();
}

double frmGoldbachQt::Ruhen(double Sekunden) {
    // A screen reader's calls reach Qt's accessibility bridge on its D-Bus thread, which posts
    // each to this thread as a meta-call. Deliver those and nothing else: input, timers and
    // repaints stay queued for the run's next event processing. Qt has no way to sleep until
    // only a meta-call is posted. While no assistive technology is active, the bridge has put
    // nothing on the accessibility bus and no call can come: the thread sleeps to the end of the
    // rest in one go. Once the bridge is active (it turns so when an accessibility bus with a
    // reader appears, at a rest's or a pass's delivery of what was posted), the thread sleeps in
    // slices short enough to answer a first call in time. A screen reader asks in bursts, one
    // call after the other, each after the answer to the one before: after a call the slice is
    // short and grows with every quiet one, so that a burst is not one long slice per call, and
    // a client that asks now and then costs a few short slices per call.
    constexpr qint64 Kurze_Scheibe = 500'000;    // ns, right after a call
    constexpr qint64 Lange_Scheibe = 20'000'000; // ns, the longest a first call waits
    const qint64 Dauer = static_cast<qint64>(Sekunden * 1e9);
    QElapsedTimer Uhr; // monotonic: a clock set back does not lengthen the rest
    Uhr.start();
    qint64 Scheibe = Lange_Scheibe;
    QCoreApplication::instance()->installEventFilter(this);
    for (;;) {
        Angefragt = false;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        const qint64 Geruht = Uhr.nsecsElapsed();
        if (Geruht >= Dauer) {
            QCoreApplication::instance()->removeEventFilter(this);
            return static_cast<double>(Geruht) / 1e9;
        }
        if (!QAccessible::isActive()) {
            Scheibe = Dauer - Geruht;
        } else if (Angefragt) {
            Scheibe = Kurze_Scheibe;
        } else {
            Scheibe = std::min(4 * Scheibe, Lange_Scheibe);
        }
        std::this_thread::sleep_for(std::chrono::nanoseconds(std::min(Dauer - Geruht, Scheibe)));
    }
}

bool frmGoldbachQt::eventFilter(QObject* watched, QEvent* event) {
    // Only while the window rests: a meta-call delivered is another program's call.
    if (event->type() == QEvent::MetaCall) {
        Angefragt = true;
    }
    return QWidget::eventFilter(watched, event);
}

float frmGoldbachQt::Uhrzeit() {
    return static_cast<float>(QTime::currentTime().msecsSinceStartOfDay()) / 1000.0f;
}

namespace {

// The box's text with every paragraph or line break as one LF, as Qt takes it in.
QString Textfeld_Inhalt(const QPlainTextEdit* Feld) {
    // The raw text keeps every character as typed (the plain text would turn no-break spaces
    // into blanks).
    QString Text = Feld->document()->toRawText();
    Text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    Text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return Text;
}

} // namespace

std::string frmGoldbachQt::Text1_Lesen() {
    return Textfeld_Inhalt(Text1).replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toStdString();
}

void frmGoldbachQt::Text1_Ersetzen(const std::string& Text) {
    Text1->setPlainText(
        QString::fromStdString(Text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Text1_Zeigen();
    if (!Text.empty()) {
        Ansagen(Text); // the question at the start of a run
    }
}

void frmGoldbachQt::Text1_Anhaengen(const std::string& Zeile) {
    // Only the new line is laid out, not all of the box's text again every second.
    QTextCursor Ende(Text1->document());
    Ende.movePosition(QTextCursor::End);
    Ende.insertText(
        QString::fromStdString(Zeile).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    // As after a replacement, there is nothing to undo: the run's lines are not the user's
    // typing.
    Text1->document()->clearUndoRedoStacks();
    Text1_Zeigen();
    Ansagen(Zeile);
}

void frmGoldbachQt::Text1_Zeigen() {
    // Keep the newest line in view, and show the new text at once: the run may not process
    // events again for a second or more.
    Text1->moveCursor(QTextCursor::End);
    // Paint the box and put it on the screen now, with whatever else of the window has changed
    // (its scroll bar), instead of at the next event processing.
    Text1->viewport()->repaint();
}

void frmGoldbachQt::Ansagen(std::string_view Zeile) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // A new line for a screen reader to speak wherever the focus is, politely, on the box: the
    // bridge sends it as an announcement to the readers that listen for one. Orca 48 speaks
    // each through Speech Dispatcher at message priority, which queues it behind the line
    // before instead of cutting that off.
    while (Zeile.ends_with('\n') || Zeile.ends_with('\r')) {
        Zeile.remove_suffix(1);
    }
    QAccessibleAnnouncementEvent Ansage(Text1, Qt_Text(Zeile));
    Ansage.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&Ansage);
#else
    Q_UNUSED(Zeile); // Qt before 6.8 has no announcements
#endif
}

std::string frmGoldbachQt::NotbremseTag_Lesen() {
    return cmdNotbremse->property("Tag").toString().toStdString();
}

void frmGoldbachQt::NotbremseTag_Ersetzen(const std::string& Tag) {
    cmdNotbremse->setProperty("Tag", QString::fromStdString(Tag));
}

void frmGoldbachQt::Laufzeitfehler(const std::string& Meldung) {
    Melden_und_beenden(this, windowTitle(), Meldung);
}

void frmGoldbachQt::closeEvent(QCloseEvent* event) {
    // A run may be active below this event: mark the window so that every run ends at its
    // next event processing and the event loop can finish.
    Schliesst = true;
    event->accept();
}
