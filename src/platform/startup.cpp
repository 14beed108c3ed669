#include "platform/startup.h"

#include "platform/version.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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

} // namespace platform
