#!/usr/bin/env python3
"""Writes the example files of this folder (python3 standard library only):

  leaves.txt    30 specimens of a made-up leaf outline, 12 landmarks each, one specimen
                per line: x1 y1 ... x12 y12 centroid_size
  protocol.txt  8 lines between landmarks, "%i %i %i \\n" per line
  blocks.txt    a block structure for that protocol: the protocol file name, then one line
                per block, each line number written as " %i "
  leaves.tps    the first 10 of those leaves as a digitising program writes them: TPS, in
                pixels, each record with its image, ID and SCALE (millimetres per pixel)
  leaves.csv    leaves 11-20 as a European spreadsheet saves them: a header row, a column
                of names, semicolons, decimal commas, CR LF line ends
  session/      leaves 21-24, one TPS file per leaf as a digitising session leaves them;
                choose all four in "Load data file..." to load them as one data set
  several.qiv   a session script that loads the four files of session/ together

The outline: landmark 1 is the base of the leaf, 2-6 climb its right edge, 7 is the tip
and 8-12 come down the left edge, so 1 and 7 lie on the midline and (2, 12), (3, 11),
(4, 10), (5, 9), (6, 8) are mirror pairs. Each specimen gets its own width, a slight
asymmetry and landmark noise, and is then rotated, scaled and shifted as if digitised from
photographs taken at different distances and angles. Fixed seed: the files are always the
same.
"""
import math
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))

# Right edge of the mean leaf, base to tip; the left edge mirrors it.
RIGHT = [(1.2, 1.0), (2.4, 2.6), (2.8, 4.6), (2.3, 6.8), (1.2, 8.6)]
BASE = (0.0, 0.0)
TIP = (0.0, 10.0)


def mean_leaf():
    left = [(-x, y) for (x, y) in reversed(RIGHT)]
    return [BASE] + RIGHT + [TIP] + left


def specimen(rng, upright=False):
    width = rng.uniform(0.8, 1.25)   # broad and narrow leaves
    lean = rng.gauss(0.0, 0.15)      # the tip bends a little to one side
    points = []
    for (x, y) in mean_leaf():
        x = x * width + lean * y / 10.0 + rng.gauss(0.0, 0.08)
        y = y + rng.gauss(0.0, 0.08)
        points.append((x, y))
    angle = math.radians(rng.uniform(-35.0, 35.0) * (0.05 if upright else 1.0))
    scale = rng.uniform(12.0, 30.0)  # pixels per unit of the outline
    dx, dy = rng.uniform(150.0, 450.0), rng.uniform(100.0, 350.0)
    c, s = math.cos(angle), math.sin(angle)
    return [(scale * (c * x - s * y) + dx, scale * (s * x + c * y) + dy) for (x, y) in points]


def centroid_size(points):
    cx = sum(p[0] for p in points) / len(points)
    cy = sum(p[1] for p in points) / len(points)
    return math.sqrt(sum((x - cx) ** 2 + (y - cy) ** 2 for (x, y) in points))


def write(name, text, newline="\n"):
    path = os.path.join(HERE, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", newline=newline) as f:
        f.write(text)


def main():
    rng = random.Random(20240601)
    lines = []
    leaves = []
    for i in range(30):
        # The fit turns every leaf onto the first one, so a nearly upright first leaf gives
        # an upright mean shape.
        pts = specimen(rng, upright=(i == 0))
        leaves.append(pts)
        values = [v for p in pts for v in p] + [centroid_size(pts)]
        lines.append(" ".join("%.3f" % v for v in values))
    write("leaves.txt", "\n".join(lines) + "\n")

    # Length of the blade, four widths from base to tip, and the two halves of the midrib.
    protocol = [(1, 7), (2, 12), (3, 11), (4, 10), (5, 9), (6, 8), (1, 4), (4, 7)]
    write("protocol.txt", "".join("%i %i %i \n" % (i + 1, a, b)
                                  for i, (a, b) in enumerate(protocol)))

    # Block 1: lengths along the leaf (lines 1, 7, 8); block 2: the widths (lines 2-6).
    blocks = [[1, 7, 8], [2, 3, 4, 5, 6]]
    write("blocks.txt", "protocol.txt \n" +
          "".join("".join(" %i " % n for n in b) + "\n" for b in blocks))

    # TPS: pixel coordinates and the size of a pixel; loaded, the trailing value of each leaf
    # is its centroid size in millimetres.
    records = []
    for i, pts in enumerate(leaves[:10]):
        records.append("LM=%d\n" % len(pts) +
                       "".join("%.1f %.1f\n" % (x, y) for (x, y) in pts) +
                       "IMAGE=leaf_%02d.jpg\nID=leaf_%02d\nSCALE=0.042\n" % (i + 1, i + 1))
    write("leaves.tps", "".join(records))

    # CSV as a spreadsheet with a European locale saves it: the same pixels and size of a
    # pixel as the TPS file, converted to millimetres in the sheet.
    header = ["leaf"] + ["%s%d" % (c, j + 1) for j in range(12) for c in "xy"]
    rows = [";".join(header)]
    for i, pts in enumerate(leaves[10:20]):
        values = ["%.3f" % (v * 0.042) for p in pts for v in p]
        rows.append(";".join(["leaf %02d" % (i + 11)] + [v.replace(".", ",") for v in values]))
    write("leaves.csv", "\n".join(rows) + "\n", newline="\r\n")

    # One file per leaf, as many labs keep their digitised specimens.
    names = []
    for i, pts in enumerate(leaves[20:24]):
        name = "session/leaf_%02d.tps" % (i + 21)
        names.append(name)
        write(name, "LM=%d\n" % len(pts) +
              "".join("%.1f %.1f\n" % (x, y) for (x, y) in pts) +
              "IMAGE=leaf_%02d.jpg\nSCALE=0.042\n" % (i + 21))
    write("several.qiv", "# Loads one TPS file per leaf as one data set.\n"
          "answer " + " ".join(names) + "\npress Load\nprint FileBox String\nstate names\n")


if __name__ == "__main__":
    main()
