#include "window/control_table.h"

#include <array>

namespace window {

namespace {

using K = ControlKind;

// Captions are exact, full-width colons and brackets included; the diagram
// buttons carry one and two blanks before their parentheses. Text boxes carry
// no caption here: the start state fills them.
constexpr std::array table{
    // Status line and the result, in red bold Song so they catch the eye.
    ControlSpec{K::TextBox, 15, {}, {2760, 120, 4815, 375}, 40, RedText | BoldSong},
    // Parameters: e1 e2 e3 / k1 k2 k3 / lc lg1 lg2.
    ControlSpec{K::TextBox, 1, {}, {2760, 1320, 1455, 375}, 12, Plain},
    ControlSpec{K::TextBox, 2, {}, {5160, 1320, 1455, 375}, 13, Plain},
    ControlSpec{K::TextBox, 3, {}, {7560, 1320, 1455, 375}, 14, Plain},
    ControlSpec{K::TextBox, 4, {}, {2760, 2040, 1455, 375}, 15, Plain},
    ControlSpec{K::TextBox, 5, {}, {5160, 2040, 1455, 375}, 16, Plain},
    ControlSpec{K::TextBox, 6, {}, {7560, 2040, 1455, 375}, 17, Plain},
    ControlSpec{K::TextBox, 7, {}, {2760, 2760, 1455, 375}, 21, Plain},
    ControlSpec{K::TextBox, 8, {}, {5160, 2760, 1455, 375}, 22, Plain},
    ControlSpec{K::TextBox, 9, {}, {7560, 2760, 1455, 375}, 23, Plain},
    // Coefficients a1..a4 of y = a x^2.
    ControlSpec{K::TextBox, 10, {}, {2760, 3480, 4695, 375}, 30, Plain},
    ControlSpec{K::TextBox, 11, {}, {2760, 4200, 4695, 375}, 32, Plain},
    ControlSpec{K::TextBox, 12, {}, {2760, 4920, 4695, 375}, 33, Plain},
    ControlSpec{K::TextBox, 13, {}, {2760, 5640, 4695, 375}, 34, Plain},
    ControlSpec{K::TextBox, 14, {}, {2760, 6360, 4695, 375}, 39, RedText | BoldSong},

    ControlSpec{K::OptionButton, 1, "C2a线型", {2760, 720, 975, 255}, 1, Plain},
    ControlSpec{K::OptionButton, 2, "C4线型", {4080, 720, 855, 255}, 2, Plain},

    ControlSpec{K::CommandButton, 1, "计算抛物线方程", {240, 5640, 1455, 495}, 25, Plain},
    ControlSpec{K::CommandButton, 2, "开始计算", {240, 6360, 1455, 495}, 38, BoldSong},
    ControlSpec{K::CommandButton, 3, "C2a线型图例 (图集P11)", {5280, 600, 1215, 495}, 43, Plain},
    ControlSpec{K::CommandButton, 4, "C4线型图例  (图集P12)", {6840, 600, 1215, 495}, 44, Plain},

    ControlSpec{K::PictureBox, 1, {}, {120, 7440, 10000, 5520}, 45, Plain},
    ControlSpec{K::PictureBox, 2, {}, {8400, 5160, 855, 1095}, 46, Plain},

    ControlSpec{K::Label, 1, "预应力钢绞线曲线线型：", {240, 720, 2055, 255}, 0, Plain},
    ControlSpec{K::Label, 23, "图集：《06SG429后张预应力混凝土结构施工图表示方法及构造详图》",
                {240, 7080, 5655, 255}, 3, Plain},
    ControlSpec{K::Label, 24, {}, {8280, 6600, 1815, 735}, 4, Plain}, // credits, filled at start
    ControlSpec{K::Label, 2, "曲线参数：", {240, 1440, 975, 255}, 5, Plain},
    ControlSpec{K::Label, 3, "e1=", {2160, 1440, 375, 255}, 6, Centred},
    ControlSpec{K::Label, 4, "e2=", {4560, 1440, 375, 255}, 7, Centred},
    ControlSpec{K::Label, 5, "e3=", {6960, 1440, 375, 255}, 8, Centred},
    ControlSpec{K::Label, 6, "k1=", {2160, 2160, 375, 255}, 9, Centred},
    ControlSpec{K::Label, 7, "k2=", {4560, 2160, 375, 255}, 10, Centred},
    ControlSpec{K::Label, 8, "k3=", {6960, 2160, 375, 255}, 11, Centred},
    ControlSpec{K::Label, 9, "lc=", {2160, 2880, 375, 255}, 18, Centred},
    ControlSpec{K::Label, 10, "lg1=", {4560, 2880, 375, 255}, 19, Centred},
    ControlSpec{K::Label, 11, "lg2=", {6960, 2880, 375, 255}, 20, Centred},
    ControlSpec{K::Label, 12, "抛物线方程：", {240, 3600, 1095, 255}, 24, Plain},
    ControlSpec{K::Label, 13, "y=", {2160, 3600, 255, 255}, 26, Centred},
    ControlSpec{K::Label, 14, "y=", {2160, 4320, 255, 255}, 27, Centred},
    ControlSpec{K::Label, 15, "y=", {2160, 5040, 255, 255}, 28, Centred},
    ControlSpec{K::Label, 16, "y=", {2160, 5760, 255, 255}, 29, Centred},
    ControlSpec{K::Label, 17, "x^2", {7560, 3600, 375, 255}, 31, Centred},
    ControlSpec{K::Label, 18, "x^2", {7560, 4320, 375, 255}, 35, Centred},
    ControlSpec{K::Label, 19, "x^2", {7560, 5040, 375, 255}, 36, Centred},
    ControlSpec{K::Label, 20, "x^2", {7560, 5760, 375, 255}, 37, Centred},
    ControlSpec{K::Label, 22, "计算单位：mm", {8880, 240, 1215, 255}, 41, Plain},
    ControlSpec{K::Label, 21, "钢铰线长=", {1800, 6480, 855, 255}, 42, RedText},
};

} // namespace

std::span<const ControlSpec> controlTable() { return table; }

std::array<std::string, 4> credits(std::string_view version)
{
    return {"Quillmere", "预应力钢绞线长度计算", "版本 " + std::string(version), "日期 20190606"};
}

std::string_view kindPrefix(ControlKind kind)
{
    switch (kind) {
    case ControlKind::TextBox:
        return "Text";
    case ControlKind::OptionButton:
        return "Option";
    case ControlKind::CommandButton:
        return "Command";
    case ControlKind::PictureBox:
        return "Picture";
    case ControlKind::Label:
        return "Label";
    }
    return {};
}

} // namespace window
