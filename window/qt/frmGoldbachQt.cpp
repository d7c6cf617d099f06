#include "frmGoldbachQt.h"

#include "Fensterdefinition.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTime>

#include <cstdlib>

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

QRect Qt_Rechteck(const Fensterdefinition::Steuerelement& Element) {
    using Fensterdefinition::Pixel;
    return {Pixel(Element.Links), Pixel(Element.Oben), Pixel(Element.Breite), Pixel(Element.Hoehe)};
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

} // namespace

frmGoldbachQt::frmGoldbachQt(QWidget* parent) : QWidget(parent) {
    namespace D = Fensterdefinition;
    setObjectName("frmGoldbach");
    // An ordinary sizable window with title bar, system menu, minimise and maximise buttons.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowTitle(Qt_Text(D::Beschriftung));
    setWindowIcon(QIcon(QStringLiteral(":/wendelkamm.ico")));
    resize(D::Pixel(D::Innenbreite), D::Pixel(D::Innenhoehe));

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(Qt_Text(D::Text1.Name));
    Text1->setAccessibleName(Qt_Text(D::Text1.Name));
    Text1->setGeometry(Qt_Rechteck(D::Text1));
    Text1->setFont(Qt_Schrift(D::Text1.Schrift));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setTabChangesFocus(true);
    // The note opens at its first line.
    Text1->setPlainText(
        Qt_Text(D::Text1.Inhalt).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    cmdStart = Knopf(D::cmdStart, this);
    cmdNotbremse = Knopf(D::cmdNotbremse, this);

    // Tab goes through the controls in the order of the definition's list, and the focus
    // starts at the first of them.
    QWidget* Vorige = nullptr;
    for (const auto& Element : D::Steuerelemente) {
        auto* Naechste = findChild<QWidget*>(Qt_Text(Element.Name));
        if (Vorige != nullptr) {
            setTabOrder(Vorige, Naechste);
        } else {
            Naechste->setFocus();
        }
        Vorige = Naechste;
    }

    connect(cmdStart, &QPushButton::clicked, this, [this] { Goldbach.cmdStart_Click(); });
    connect(cmdNotbremse, &QPushButton::clicked, this, [this] { Goldbach.cmdNotbremse_Click(); });
}

void frmGoldbachQt::Zugang_einrichten() {
    QAccessible::installFactory(Fensterzugang);
}

void frmGoldbachQt::EreignisseVerarbeiten() {
    QCoreApplication::processEvents();
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
    QString Neu = QString::fromStdString(Text);
    Neu.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QString Alt = Textfeld_Inhalt(Text1);
    if (!Alt.isEmpty() && Neu.size() > Alt.size() && Neu.startsWith(Alt)) {
        // The run appends a line to what the box holds: add just that line, so that the box
        // does not lay out all of its text again every second (the result is the same).
        QTextCursor Ende(Text1->document());
        Ende.movePosition(QTextCursor::End);
        Ende.insertText(Neu.sliced(Alt.size()));
        // As after a replacement, there is nothing to undo: the run's lines are not the user's
        // typing.
        Text1->document()->clearUndoRedoStacks();
    } else {
        Text1->setPlainText(Neu);
    }
    // Keep the newest line in view, and show the new text at once: the run may not process
    // events again for a second or more.
    Text1->moveCursor(QTextCursor::End);
    // Paint the box and put it on the screen now, with whatever else of the window has changed
    // (its scroll bar), instead of at the next event processing.
    Text1->viewport()->repaint();
}

std::string frmGoldbachQt::NotbremseTag_Lesen() {
    return cmdNotbremse->property("Tag").toString().toStdString();
}

void frmGoldbachQt::NotbremseTag_Ersetzen(const std::string& Tag) {
    cmdNotbremse->setProperty("Tag", QString::fromStdString(Tag));
}

void frmGoldbachQt::Laufzeitfehler(const std::string& Meldung) {
    QMessageBox::critical(this, Qt_Text(Fensterdefinition::Beschriftung),
                          QString::fromStdString(Meldung));
    std::exit(EXIT_FAILURE);
}

bool frmGoldbachQt::WirdGeschlossen() {
    return Schliesst;
}

void frmGoldbachQt::closeEvent(QCloseEvent* event) {
    // A run may be active below this event: mark the window so that every run ends at its
    // next event processing and the event loop can finish.
    Schliesst = true;
    event->accept();
}
