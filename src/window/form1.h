#pragma once

// Form1, the one window of Quillmere.
//
// Everything the program knows stands as text in the window's fifteen boxes.
// Each click runs one handler to its end; a handler reads box texts, turns them
// into numbers by the numeric rules, computes and writes its results back:
//
//     box text -> number -> formula -> number -> text -> box
//
// Nothing is kept between clicks, so whatever the engineer types into a box is
// what the next step uses. Handlers open dialogs only through
// platform::Services; a failure stops the handler where it stands, is reported,
// and leaves the boxes as the handler left them.

#include "platform/services.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace window {

class PictureBox;

class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(platform::Services &services, QWidget *parent = nullptr);

    // Puts the window into its start state; runs once, before it is shown.
    void Form_Load();

    // Selecting a profile type: C2a, C4.
    void Option1_Click();
    void Option2_Click();
    // The parabola coefficients, the strand length, the C2a and C4 diagrams.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

    // The controls by number: textBox(15) is Text15, the status line.
    QLineEdit *textBox(int number) const;
    QRadioButton *optionButton(int number) const;
    QPushButton *commandButton(int number) const;
    PictureBox *pictureBox(int number) const;
    QLabel *label(int number) const;

signals:
    // Emitted as a handler starts, with the handler's name ("Option1_Click").
    void handlerStarted(const QString &name);

private:
    class View;

    void buildControls();
    void connectHandlers();
    void runHandler(const char *name, void (Form1::*handler)());
    void showDiagram(int resource);

    platform::Services &services_;
    std::array<QLineEdit *, 15> texts_{};
    std::array<QRadioButton *, 2> options_{};
    std::array<QPushButton *, 4> commands_{};
    std::array<PictureBox *, 2> pictures_{};
    std::array<QLabel *, 24> labels_{};
};

} // namespace window
