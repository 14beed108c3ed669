// The same 46 controls as Quillmere's window, from its control table, as
// plain Qt widgets with the same captions, places and faces, and no program
// behind them: what Qt itself costs for this window. tools/bench-startup sets
// it between the bare window and Quillmere.

#include "platform/pixels.h"
#include "window/control_table.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Plain"));
    window.setFixedSize(688, 872);
    QFont song;
    song.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC")});
    song.setPointSize(9);
    window.setFont(song);
    for (const window::ControlSpec &row : window::controlTable()) {
        const QString caption = QString::fromUtf8(row.caption.data(), qsizetype(row.caption.size()));
        QWidget *widget = nullptr;
        switch (row.kind) {
        case window::ControlKind::TextBox:
            widget = new QLineEdit(&window);
            break;
        case window::ControlKind::OptionButton:
            widget = new QRadioButton(caption, &window);
            break;
        case window::ControlKind::CommandButton:
            widget = new QPushButton(caption, &window);
            break;
        case window::ControlKind::PictureBox:
            widget = new QFrame(&window);
            break;
        case window::ControlKind::Label:
            widget = new QLabel(caption, &window);
            break;
        }
        if (row.looks & window::BoldSong) {
            QFont bold = song;
            bold.setPointSize(12);
            bold.setBold(true);
            widget->setFont(bold);
        }
        widget->setGeometry(platform::toPixels(row.rect));
    }
    window.show();
    return app.exec();
}
