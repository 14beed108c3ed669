"""A DXF as a picture, drawn by ezdxf's drawing add-on (Debian's python3-ezdxf
and python3-matplotlib): model space on white, the Chinese drafting fonts
(gbenor.shx, gbcbig.shx, which no Linux machine has) drawn in WenQuanYi Micro
Hei. How the README's picture of a drawing is made:
  python3 tools/render_dxf.py DRAWING.dxf PICTURE.png [WIDTH_INCHES] [DPI]"""
import sys

import ezdxf
import matplotlib

matplotlib.use('Agg')
import matplotlib.pyplot as plt  # noqa: E402
from ezdxf.addons.drawing import Frontend, RenderContext  # noqa: E402
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend  # noqa: E402
from ezdxf.addons.drawing.properties import LayoutProperties  # noqa: E402
from ezdxf.tools import fonts  # noqa: E402

source, picture = sys.argv[1], sys.argv[2]
width, dpi = float(sys.argv[3]) if len(sys.argv) > 3 else 16, int(sys.argv[4]) if len(sys.argv) > 4 else 100
doc = ezdxf.readfile(source)
context = RenderContext(doc)
for style in doc.styles:
    if style.dxf.font.lower().endswith('.shx') and style.dxf.get('bigfont', ''):
        context.fonts[style.dxf.name.lower()] = fonts.FontFace(family='WenQuanYi Micro Hei')
figure = plt.figure()
axes = figure.add_axes([0, 0, 1, 1])
white = LayoutProperties.modelspace()
white.set_colors('#ffffff')
Frontend(context, MatplotlibBackend(axes, adjust_figure=False)).draw_layout(doc.modelspace(), layout_properties=white)
(left, right), (bottom, top) = axes.get_xlim(), axes.get_ylim()
figure.set_size_inches(width, width * (top - bottom) / (right - left))
figure.savefig(picture, dpi=dpi, facecolor='white')
