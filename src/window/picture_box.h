#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QRectF>

namespace window {

// A picture box: a sunken frame around an inner area that shows a held picture
// and whatever was drawn into it. Drawings always go into a backing image, so a
// diagram survives the window being covered and uncovered.
// With self-sizing on, the box takes the size of the picture it holds.
// Sizes are reported in twips of the inner area, the unit the diagrams are
// scaled in.
class PictureBox : public QFrame {
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    void setAutoSize(bool on);
    bool autoSize() const { return autoSize_; }

    // Setting the background colour clears what was drawn, as clearing would.
    void setBackColor(const QColor &colour);
    QColor backColor() const { return backColor_; }

    // The held picture; a null image means none.
    void setPicture(const QImage &picture);
    const QImage &picture() const { return picture_; }
    // What has been drawn into the inner area, kept at the screen's pixel density.
    const QImage &canvas() const { return canvas_; }

    // Inner size in twips.
    double scaleWidth() const;
    double scaleHeight() const;

    // Clears what was drawn back to the background colour.
    void cls();

    // Draws the part `sourceTwips` of `image` stretched into `targetTwips` of the
    // inner area; what falls outside the inner area is not shown. `detail`,
    // where given, is the same picture drawn finer: on a screen with more
    // pixels it is drawn instead, so the drawing stays sharp.
    void paintPicture(const QImage &image, const QRectF &targetTwips, const QRectF &sourceTwips,
                      const QImage &detail = QImage());

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fitToPicture();
    void ensureCanvas();

    bool autoSize_ = false;
    QColor backColor_;
    QImage picture_;
    QImage canvas_;
};

} // namespace window
