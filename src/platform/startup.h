#pragma once

#include "platform/failure_report.h"
#include "platform/prompt.h"
#include "platform/services.h"
#include "platform/twips.h"

#include <QApplication>

class QWidget;

namespace platform {

// Application name, version and organisation-free settings shared by every run.
void configureApplication(QApplication &app);

// Gives a top-level window a fixed client area of the given size and places that
// client area at the given offset from the screen's top-left corner. The window
// manager may still move it; this is only where it first appears.
void placeClientArea(QWidget &window, TwipsRect clientArea);

// The program's life: create the window, let it set its start state before it is
// shown, show it and take events until the engineer closes it. Returns the exit
// status (0 when the window was closed).
template <class Window>
int runProgram(int &argc, char **argv)
{
    QApplication app(argc, argv);
    configureApplication(app);

    DialogPrompt prompt;
    MessageBoxReport failures;
    Services services{prompt, failures};

    Window window(services);
    window.Form_Load();
    window.show();
    return app.exec();
}

} // namespace platform
