// The floor for any Qt Widgets program on this machine: a window of
// Quillmere's size with one label showing a line of Chinese in the same bold
// CJK face, and nothing else. tools/bench-startup compares Quillmere with it.

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.setFixedSize(688, 872);

    QLabel label(QStringLiteral(" 请选择预应力钢铰线曲线类型 "), &window);
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                      QStringLiteral("Noto Serif CJK SC")});
    font.setPointSize(12);
    font.setBold(true);
    label.setFont(font);
    label.setGeometry(184, 8, 321, 25);

    window.show();
    return app.exec();
}
