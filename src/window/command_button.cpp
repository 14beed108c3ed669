#include "window/command_button.h"

#include <QFontInfo>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextLayout>

#include <vector>

namespace window {

CommandButton::CommandButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    setAutoDefault(false);
}

void CommandButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option); // bevel and focus frame

    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (isDown()) {
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    }

    // Break the caption at blanks (or between Chinese characters) to the
    // button's width. CJK faces carry generous leading, so lines are set at
    // 1.2 em to fit two of them into a standard button height.
    QTextLayout layout(caption, font());
    QTextOption textOption(Qt::AlignHCenter);
    textOption.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(textOption);
    const qreal pitch = QFontInfo(font()).pixelSize() * 1.2;
    std::vector<QTextLine> lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        lines.push_back(line);
    }
    layout.endLayout();

    const qreal block = pitch * static_cast<qreal>(lines.size());
    qreal top = area.top() + (area.height() - block) / 2;
    for (QTextLine &line : lines) {
        line.setPosition(QPointF(0, top - (line.height() - pitch) / 2));
        top += pitch;
    }
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::ButtonText));
    layout.draw(&painter, QPointF(area.left(), 0));
}

} // namespace window
