#include "window/picture_box.h"

#include "platform/twips.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

namespace window {

PictureBox::PictureBox(QWidget *parent)
    : QFrame(parent), backColor_(palette().color(QPalette::Button))
{
    // A two-pixel sunken border; the inner area is the box less the border.
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setAutoSize(bool on)
{
    autoSize_ = on;
    fitToPicture();
}

void PictureBox::setBackColor(const QColor &colour)
{
    backColor_ = colour;
    cls();
}

void PictureBox::setPicture(const QImage &picture)
{
    picture_ = picture;
    fitToPicture();
    update();
}

double PictureBox::scaleWidth() const { return platform::pixelsToTwips(contentsRect().width()); }

double PictureBox::scaleHeight() const
{
    return platform::pixelsToTwips(contentsRect().height());
}

void PictureBox::cls()
{
    if (!canvas_.isNull())
        canvas_.fill(Qt::transparent);
    update();
}

void PictureBox::paintPicture(const QImage &image, const QRectF &targetTwips,
                              const QRectF &sourceTwips, const QImage &detail)
{
    ensureCanvas();
    const auto toPixels = [](const QRectF &r) {
        const double k = 1.0 / platform::twipsPerPixel;
        return QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k);
    };
    QPainter painter(&canvas_);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF source = toPixels(sourceTwips);
    if (canvas_.devicePixelRatio() > 1 && !detail.isNull() && !image.isNull()) {
        const double finer = double(detail.width()) / image.width();
        painter.drawImage(toPixels(targetTwips), detail,
                          QRectF(source.topLeft() * finer, source.size() * finer));
    } else {
        painter.drawImage(toPixels(targetTwips), image, source);
    }
    painter.end();
    update();
}

void PictureBox::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect inner = contentsRect();
    painter.fillRect(inner, backColor_);
    if (!picture_.isNull())
        painter.drawImage(inner.topLeft(), picture_);
    if (!canvas_.isNull())
        painter.drawImage(inner.topLeft(), canvas_);
    painter.end();
    QFrame::paintEvent(event); // the border
}

void PictureBox::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    if (!canvas_.isNull())
        ensureCanvas();
}

void PictureBox::fitToPicture()
{
    if (!autoSize_ || picture_.isNull())
        return;
    const int border = 2 * frameWidth();
    resize(picture_.width() + border, picture_.height() + border);
}

void PictureBox::ensureCanvas()
{
    // The kept drawing covers the inner area at the screen's pixel density; a
    // change of size keeps what is already drawn in the part that remains.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = contentsRect().size() * ratio;
    if (!canvas_.isNull() && canvas_.size() == pixels)
        return;
    QImage fresh(pixels, QImage::Format_ARGB32_Premultiplied);
    fresh.setDevicePixelRatio(ratio);
    fresh.fill(Qt::transparent);
    if (!canvas_.isNull()) {
        QPainter painter(&fresh);
        painter.drawImage(QPoint(0, 0), canvas_);
    }
    canvas_ = fresh;
}

} // namespace window
