#pragma once

#include "platform/failure_report.h"
#include "platform/prompt.h"
#include "platform/services.h"
#include "platform/pixels.h"

#include <QApplication>
#include <QScreen>
#include <QScrollArea>

#include <memory>

class QWidget;

namespace platform {

// Application name, version and organisation-free settings shared by every run.
void configureApplication(QApplication &app);

// Gives a top-level window a fixed client area of the given size and places that
// client area at the given offset from the screen's top-left corner. The window
// manager may still move it; this is only where it first appears.
void placeClientArea(QWidget &window, TwipsRect clientArea);

// A window larger than the screen's free area (a 1366 x 768 laptop, the
// taskbar's strip taken off) opens at that area's size, its layout unchanged
// under scroll bars, so every control can still be reached: the frame it
// opens in, which holds the window while the frame lives. None where the
// window fits, which then opens as it is.
std::unique_ptr<QScrollArea> fitToScreen(QWidget &window, const QRect &available);

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
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const std::unique_ptr<QScrollArea> frame = screen ? fitToScreen(window, screen->availableGeometry()) : nullptr;
    if (frame)
        frame->show();
    else
        window.show();
    const int status = app.exec();
    if (frame)
        frame->takeWidget(); // the window is the program's, not the frame's
    return status;
}

} // namespace platform
