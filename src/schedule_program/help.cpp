#include "schedule_program/help.h"

namespace help {

const char *const description = R"(Computes every tendon of a schedule with the window's numbers.

INPUT is a workbook (.xlsx, as Excel, WPS or LibreOffice saves it), or CSV split
by commas, semicolons or tabs (what a spreadsheet copies), UTF-8, GB18030 or
UTF-16 with its byte-order mark, told apart by what the file holds, not by its
name. Full-width digits and letters (１００, Ｃ４) read as ASCII, C4线型 as C4. A header row names the columns in any order,
title rows above it passed over (within the first 20 rows):
  name (编号), profile (线型: C2a or C4), e1, e2, e3, k1, k2, k3, lc, lg1, lg2,
  count (根数: identical tendons, 1 when left out)
A parameter the profile does not use may be empty (C2a: e3, k1, k2, k3; C4: lg2).
How each tendon is stressed, where its row says (else the options hold):
  sigma_con (张拉控制应力, MPa), duct (孔道: metal 金属波纹管, plastic 塑料波纹管,
  steel 钢管, unbonded 无粘结), kappa, mu (over the duct's own),
  ends (张拉端: left or 1, right, both or 2), lock_off (锁定顺序: together,
  left-first, right-first), strands (每束根数), strand_size (公称直径, mm),
  set (锚具回缩, mm)
A tendon through several spans: consecutive rows with one mark in tendon (束号),
left to right; it is stressed along all its spans, its figures on its first row.
A workbook's schedule is on the first worksheet with such a header, or on the one
--worksheet names; a number is read as the double the cell stores, as if typed in
its shortest form (0.10000000000000001 is 0.1). A cell holding an error (#N/A), a
formula whose value was never saved, or a date refuses its row where the row needs
it, naming the cell (Sheet2!F7).

The results, one row per schedule row: the parameters as the window shows them after
entry, tendon (the mark, or the name), a1..a4, the segment lengths L1..L4,
length, total (length x count), tendon_length (the whole tendon's strand, no
limit), radius_min (the smallest radius, m); the stressing as used (sigma_con,
kappa, mu, ends), theta (the angles turned, rad), sigma_far (at the dead end,
or where two jacks meet) and loss (MPa), the elongation at each jacked end
elong_left and elong_right, elong (the tendon's: their true sum, rounded once)
with its -6 % and +6 % limits elong_min and elong_max (mm), force (kN at each
jack) and cut_length (length plus the allowances); the anchoring: set (the
draw-in, mm), lock_off, lf_left and lf_right (the reach of its loss from each
anchor, mm), set_loss_left and set_loss_right (the loss at each anchor once
both are locked), set_loss (the larger), sigma_anchored_min (the lowest stress
left) and loss_total_max (the whole loss there, MPa); status (ok, overflow,
division by zero, invalid operation, invalid argument, or input), message,
and note (a control stress below 0.40 or above 0.75 fptk, one end on a bonded
tendon over 20 m or an unbonded one over 40 m, a radius under 4 m, which
anchoring case held at which end, a stress after anchoring below 0.5
sigma_con; of a tendon through several spans, a span that failed, a step in
the duct at a support, a mark used before; a C2a whose parabolas end lg2/2
apart at mid-span; a span beyond the window's 32767 mm).

Friction (GB 50010): each parabola segment, and for C2a the kink at mid-span,
is a piece of length L turning by theta = |atan(2 a x)|; z = kappa L/1000 + mu theta,
the stress after it sigma e^-z and its elongation sigma (1 - e^-z)/z L/Ep. Two
jacks meet where each end's friction is half of the whole. Anchoring (GB 50010,
appendix J): within lf the stress after it is K/sigma(x), lf where it meets
the stress as it stood and the shortening over it equals the draw-in. Where
two jacks' zones would reach each other (mechanics; the code is silent), by
--lock-off: together, one point does not move and each side draws back by the
whole draw-in; one end first, a zone past the meeting point slides the strand
through to the other jack, which then anchors on the stress as it stands.

Example:
  name,profile,e1,e2,e3,k1,k2,k3,lc,lg1,lg2,count
  KL1,C4,100,100,100,0.1,0.5,0.1,20000,1000,,2
  KL2,C2a,100,100,,,,,20000,1000,0,1
  $ quillmere-schedule -o results.xlsx --sheet sheets.pdf schedule.csv

--sheet writes a calculation sheet per tendon: parameters, equations, segments,
the profile drawn to scale with the stress along it, the checks, the
tensioning, and the setting-out heights above the beam's bottom face every
--step mm and at the key points. An XLSX also holds a row per tendon, these
heights (x from each tendon's left end), the bill of materials 材料表 and the
site record 张拉记录: the calibrations (--gauge), then per tendon and jack the
stages' forces and gauge readings, cells for the ruler at each stage and the
draw-in, and formulas for the measured elongation, the tendon judged on the
sum over its jacks (±6 %) and the draw-in checked. With
--site-url (where the page's site folder is served) each stressed tendon's
tensioning also carries a QR code that opens its site record in the page.

--dxf writes the tendons' profiles for the construction drawing (AutoCAD 2007 DXF,
millimetres): each tendon a block named by its mark, its parabolas exact splines
(--dxf-polylines: chords within 0.05 mm), key points with their heights, the
dimensions, the coordinate table every --step mm and a title, on layers PT-*.

Columns the program does not know (备注) follow note in the results.

The schedule is never written over; a read-only file is refused; a replaced
file keeps its mode and links; Ctrl-C leaves every file as it was. With -o the
rows that failed are named on standard error (--quiet: not).

Exit status: 0 all rows ok, 1 some rows failed, 2 the schedule could not be read
or a file not written, 130/143/129 stopped by SIGINT/SIGTERM/SIGHUP.)";

} // namespace help
