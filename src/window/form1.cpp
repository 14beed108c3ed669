#include "window/form1.h"

#include "calc/messages.h"
#include "calc/window_handlers.h"
#include "calc/window_view.h"
#include "diagrams/diagram.h"
#include "platform/startup.h"
#include "platform/pixels.h"
#include "platform/version.h"
#include "window/command_button.h"
#include "window/control_table.h"
#include "window/looks.h"
#include "window/picture_box.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <limits>
#include <vector>

namespace window {

namespace {

QString fromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString controlName(const ControlSpec &row)
{
    return fromUtf8(kindPrefix(row.kind)) + QString::number(row.number);
}

// The credits block. Four lines must fit the block's 735 twips, so the lines
// are set closer than the face's natural spacing.
QString creditsText()
{
    QStringList lines;
    for (const std::string &line : credits(platform::versionText().toStdString()))
        lines << QString::fromStdString(line);
    return QStringLiteral("<div style=\"-qt-line-height-type:fixed; line-height:12px\">")
           + lines.join(QStringLiteral("<br>"))
           + QStringLiteral("</div>");
}

// Captions are set in the window's face at its size, but a face with wider
// Latin letters than the one the layout was drawn with can push a caption past
// its box. Such a caption is set a little smaller rather than cut off.
void shrinkToFit(QWidget *widget, const QString &caption, int spare)
{
    const int room = widget->width() - spare;
    QFont font = widget->font();
    // Advances are cheap and nearly always answer; the ink is measured only
    // for a caption whose advance does not fit.
    if (QFontMetrics(font).horizontalAdvance(caption) <= room)
        return;
    while (font.pointSizeF() > 6 && QFontMetrics(font).tightBoundingRect(caption).right() + 1 > room)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    widget->setFont(font);
}

void makeRed(QWidget *widget, QPalette::ColorRole role)
{
    QPalette palette = widget->palette();
    palette.setColor(role, looks::red);
    widget->setPalette(palette);
}

// An auto-exclusive radio button refuses to be unchecked (Qt keeps one of a
// group checked), so the exclusivity is lifted for the moment. Only an option
// turning on runs its handler, so clearing runs none.
void clearOption(QRadioButton *option)
{
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

} // namespace

// The window as the calculations see it: box texts in UTF-8, the selected
// profile, and the parameter prompt through the platform seam.
class Form1::View final : public calc::WindowView {
public:
    View(Form1 &form, platform::Prompt &prompt) : form_(form), prompt_(prompt) {}

    std::string text(int box) const override { return form_.textBox(box)->text().toStdString(); }

    void setText(int box, std::string_view text) override
    {
        form_.textBox(box)->setText(fromUtf8(text));
    }

    bool isSelected(int profile) const override { return form_.optionButton(profile)->isChecked(); }

    std::string ask(std::string_view question) override
    {
        return prompt_.ask(fromUtf8(question)).toStdString();
    }

private:
    Form1 &form_;
    platform::Prompt &prompt_;
};

Form1::Form1(platform::Services &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint),
      services_(services)
{
    // The controls stand at fixed twips positions, so the window keeps its
    // size: it cannot be resized or maximised.
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quillmere"));
    // Read as the PNG it is, so no image format plugin is probed at start-up.
    setWindowIcon(QPixmap::fromImage(QImage(QStringLiteral(":/quillmere/icon.png"), "PNG")));
    setFont(looks::defaultFont());
    platform::placeClientArea(*this, clientArea);

    buildControls();
    connectHandlers();
}

void Form1::buildControls()
{
    std::vector<std::pair<int, QWidget *>> tabOrder;

    for (const ControlSpec &row : controlTable()) {
        QWidget *widget = nullptr;
        const QString caption = fromUtf8(row.caption);
        switch (row.kind) {
        case ControlKind::TextBox: {
            auto *box = new QLineEdit(this);
            box->setAlignment(Qt::AlignCenter);
            // A box holds whatever the engineer types, however long; Qt's
            // default limit would cut it silently.
            box->setMaxLength(std::numeric_limits<int>::max());
            if (row.looks & RedText)
                makeRed(box, QPalette::Text);
            texts_.at(row.number - 1) = box;
            widget = box;
            break;
        }
        case ControlKind::OptionButton: {
            auto *option = new QRadioButton(caption, this);
            options_.at(row.number - 1) = option;
            widget = option;
            break;
        }
        case ControlKind::CommandButton: {
            auto *button = new CommandButton(caption, this);
            commands_.at(row.number - 1) = button;
            widget = button;
            break;
        }
        case ControlKind::PictureBox: {
            auto *picture = new PictureBox(this);
            pictures_.at(row.number - 1) = picture;
            widget = picture;
            break;
        }
        case ControlKind::Label: {
            auto *label = new QLabel(caption, this);
            label->setTextFormat(Qt::PlainText);
            const Qt::Alignment across = (row.looks & Centred) ? Qt::AlignHCenter : Qt::AlignLeft;
            label->setAlignment(across | Qt::AlignVCenter);
            if (row.looks & RedText)
                makeRed(label, QPalette::WindowText);
            labels_.at(row.number - 1) = label;
            widget = label;
            break;
        }
        }

        widget->setObjectName(controlName(row));
        widget->setGeometry(platform::toPixels(row.rect));
        if (row.looks & BoldSong)
            widget->setFont(looks::boldSongFont());
        if (auto *option = qobject_cast<QRadioButton *>(widget)) {
            QStyleOptionButton style;
            style.initFrom(option);
            const QRect textArea =
                option->style()->subElementRect(QStyle::SE_RadioButtonContents, &style, option);
            shrinkToFit(option, caption, option->width() - textArea.width());
        } else if (qobject_cast<QLabel *>(widget)) {
            shrinkToFit(widget, caption, 0);
        }
        if (widget->focusPolicy() != Qt::NoFocus)
            tabOrder.emplace_back(row.tabIndex, widget);
    }

    QLabel *credits = label(24);
    credits->setFont(looks::creditsFont());
    credits->setTextFormat(Qt::RichText);
    credits->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    credits->setText(creditsText());

    std::ranges::sort(tabOrder, {}, &std::pair<int, QWidget *>::first);
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);
}

void Form1::connectHandlers()
{
    // A profile handler runs when its option turns on, by mouse or keyboard. A
    // click on the option already selected changes nothing and so runs
    // nothing: re-asking every parameter would only risk losing them.
    const auto onSelected = [this](QRadioButton *option, const char *name,
                                   void (Form1::*handler)()) {
        connect(option, &QRadioButton::toggled, this, [this, name, handler](bool checked) {
            if (checked)
                runHandler(name, handler);
        });
    };
    onSelected(optionButton(1), "Option1_Click", &Form1::Option1_Click);
    onSelected(optionButton(2), "Option2_Click", &Form1::Option2_Click);

    const auto onClicked = [this](QPushButton *button, const char *name,
                                  void (Form1::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                [this, name, handler] { runHandler(name, handler); });
    };
    onClicked(commandButton(1), "Command1_Click", &Form1::Command1_Click);
    onClicked(commandButton(2), "Command2_Click", &Form1::Command2_Click);
    onClicked(commandButton(3), "Command3_Click", &Form1::Command3_Click);
    onClicked(commandButton(4), "Command4_Click", &Form1::Command4_Click);
}

void Form1::runHandler(const char *name, void (Form1::*handler)())
{
    emit handlerStarted(QLatin1String(name));
    try {
        (this->*handler)();
    } catch (const numeric::Failure &failure) {
        services_.failures.report(failure.kind(), fromUtf8(calc::failureReport(failure)));
    }
}

void Form1::Form_Load()
{
    textBox(15)->setText(fromUtf8(calc::status::chooseProfile));
    clearOption(optionButton(1));
    clearOption(optionButton(2));
    for (int n = 1; n <= 14; ++n)
        textBox(n)->clear();

    PictureBox *area = pictureBox(1);
    area->setAutoSize(false);
    area->setVisible(true);
    area->setBackColor(Qt::white);

    PictureBox *holder = pictureBox(2);
    holder->setAutoSize(true);
    holder->setVisible(false);
}

void Form1::Option1_Click()
{
    View view(*this, services_.prompt);
    calc::enterC2a(view);
}

void Form1::Option2_Click()
{
    View view(*this, services_.prompt);
    calc::enterC4(view);
}

void Form1::Command1_Click()
{
    View view(*this, services_.prompt);
    calc::computeCoefficients(view);
}

void Form1::Command2_Click()
{
    View view(*this, services_.prompt);
    calc::computeStrandLength(view);
}

void Form1::Command3_Click() { showDiagram(diagrams::c2a); }

void Form1::Command4_Click() { showDiagram(diagrams::c4); }

// The hidden holder takes the bitmap and its size; the picture area is cleared
// and shows it scaled without distortion and centred. No box, option or the
// status line is touched, whatever profile is selected.
void Form1::showDiagram(int resource)
{
    PictureBox *holder = pictureBox(2);
    PictureBox *area = pictureBox(1);
    holder->setPicture(QImage());
    holder->setPicture(diagrams::resourcePicture(resource));
    const float iw = float(holder->scaleWidth()), ih = float(holder->scaleHeight());
    const float bw = float(area->scaleWidth()), bh = float(area->scaleHeight());
    const diagrams::Placement at = diagrams::place(iw, ih, bw, bh);
    area->cls();
    area->paintPicture(holder->picture(), QRectF(at.left, at.top, at.width, at.height),
                       QRectF(0, 0, iw, ih), diagrams::detailedPicture(resource));
}

QLineEdit *Form1::textBox(int number) const { return texts_.at(number - 1); }
QRadioButton *Form1::optionButton(int number) const { return options_.at(number - 1); }
QPushButton *Form1::commandButton(int number) const { return commands_.at(number - 1); }
PictureBox *Form1::pictureBox(int number) const { return pictures_.at(number - 1); }
QLabel *Form1::label(int number) const { return labels_.at(number - 1); }

} // namespace window
