#include "platform/startup.h"

#include "platform/version.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace platform {

void configureApplication(QApplication &app)
{
    app.setApplicationName(QStringLiteral("Quillmere"));
    app.setApplicationVersion(versionText());
    app.setDesktopFileName(QStringLiteral("org.quillmere.Quillmere"));
}

void placeClientArea(QWidget &window, TwipsRect clientArea)
{
    const QRect area = toPixels(clientArea);
    window.setFixedSize(area.size());
    QPoint origin;
    if (const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen())
        origin = screen->geometry().topLeft();
    // On a top-level widget, setGeometry places the client area, not the frame.
    window.setGeometry(QRect(origin + area.topLeft(), area.size()));
}

std::unique_ptr<QScrollArea> fitToScreen(QWidget &window, const QRect &available)
{
    // Room for the window manager's title bar above the client area.
    const int titleBar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QSize room(available.width(), available.height() - titleBar);
    const QSize designed = window.size();
    if (designed.width() <= room.width() && designed.height() <= room.height())
        return nullptr;
    const QPoint designedAt = window.pos();
    auto frame = std::make_unique<QScrollArea>();
    frame->setWindowFlags(window.windowFlags());
    frame->setWindowTitle(window.windowTitle());
    frame->setWindowIcon(window.windowIcon());
    frame->setFrameShape(QFrame::NoFrame);
    frame->setWidget(&window); // the layout as designed, at its fixed size
    const int bar = frame->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const bool tall = designed.height() > room.height(), wide = designed.width() > room.width();
    const QSize whole(designed.width() + (tall ? bar : 0), designed.height() + (wide ? bar : 0));
    const QSize shown = whole.boundedTo(room);
    frame->setMaximumSize(whole);
    // Where the window would stand as far as the screen allows, at the top
    // of the free area where it is too tall for it.
    const int x = available.left() + std::clamp(designedAt.x() - available.left(), 0, room.width() - shown.width());
    const int y = available.top() + titleBar + (tall ? 0 : std::clamp(designedAt.y() - available.top() - titleBar, 0, room.height() - shown.height()));
    frame->setGeometry(QRect(QPoint(x, y), shown));
    return frame;
}

} // namespace platform
