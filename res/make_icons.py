#!/usr/bin/env python3
"""Writes the program's icons as XPM text files next to this script.

The pictures are drawn here as character art, one character a pixel, so they can be read and
changed in a text editor; run this script again after changing one.
"""
import pathlib

PALETTE = {
    " ": "None",
    ".": "#000000",
    "w": "#FFFFFF",
    "g": "#808080",
    "l": "#C0C0C0",
    "y": "#F0C020",
    "b": "#2060C0",
    "c": "#80B0F0",
    "r": "#C02020",
    "n": "#208040",
    "o": "#A06020",
}

# Toolbar buttons: 16 x 15.
ICONS = {
    "new_item": """
      ........
      .wwwww.w.
      .wwwww.ww.
      .wwwww....
      .wwwwwwww.
      .wwwwwwww.
      .wwwwwnww.
      .wwwwwnww.
      .wwwnnnnn.
      .wwwwwnww.
      .wwwwwnww.
      .wwwwwwww.
      ..........
""",
    "load": """

   ....
  .yyyy.
 .yyyyyy.......
 .yyyyyyyyyyyy.
 .yyyy.........
 .yyy.ooooooooo.
 .yy.ooooooooo.
 .y.ooooooooo.
 ..ooooooooo.
 ...........
      nnn
      nnn
    nnnnnnn
""",
    "save": """
 .............
 .bb.wwwww.bb.
 .bb.wwwww.bb.
 .bb.wwwww.bb.
 .bb.......bb.
 .bbbbbbbbbbb.
 .bbbbbbbbbbb.
 .bb.......bb.
 .bb.lllll.bb.
 .bb.l..ll.bb.
 .bb.l..ll.bb.
 .............
""",
    "fetch_all": """
     .....
   ..bcbcb..
  .bcbnnbcbc.
 .cbnnnnbcbcb.
 .bcnnnbcbnnc.
 .cbcnbcbnnnb.
 .bcbcbcbcnnc.
  .bcbcbcbcb.
   ..bcbcb..
     ..r..
       r
     rrrrr
      rrr
       r
""",
    "fetch_selected": """
 ..........
 .wwwwwwww.
 .w......w.
 .wwwwwwww.
 .w.....ww.
 .wwwwwwww.
 .w......w.
 .wwwwwwww.
 ..........   r
             rr
           rrrrr
           rrrrr
             rr
              r
""",
    "stop": """
     .......
    .rrrrrrr.
   .rrrrrrrrr.
  .rrrrrrrrrrr.
  .rrwwrrrwwrr.
  .rrrwwrwwrrr.
  .rrrrwwwrrrr.
  .rrrwwrwwrrr.
  .rrwwrrrwwrr.
  .rrrrrrrrrrr.
   .rrrrrrrrr.
    .rrrrrrr.
     .......
""",
    "restore": """

      nnnnn
    nnn   nnn
   nn       nn
  nn         n
  n        nnnnn
  n         nnn
  n          n
  n
  nn        nn
   nn      nn
    nnn  nnn
      nnnn
""",
    "clear": """

        ....
       .llll.
      .llllll.
     .rrllllll.
    .rrrrlllll.
   .rrrrrrlll.
  .rrrrrrrrl.
  .rrrrrrrr.
   .rrrrrr.
    .rrrr.
     ....
  ...........
""",
    "unread_check": """

 ..............
 .w..wwwwww..w.
 .ww..wwww..ww.
 .www..ww..www.
 .wwww....wwww.
 .wwwwwwwwwwww.
 .wwwwwwwwwwww.
 ..............
           rr
           rr
           rr

           rr
""",
    "write_read_state": """
 ..........
 .wwwwwwww.
 .w......w.
 .wwwwwwww.
 .w.....ww.
 .wwwwwwww.   n
 .w.....w.   nn
 .wwwwwww.  nn
 .........  nn
       nn  nn
        nnnn
         nn
""",
    "about": """
      .....
    ..bbbbb..
   .bbbwwwbbb.
  .bbbwwbwwbbb.
  .bbbbbbwwbbb.
  .bbbbbwwbbbb.
  .bbbbwwbbbbb.
  .bbbbwwbbbbb.
  .bbbbbbbbbbb.
   .bbbwwbbbb.
    ..bbbbb..
      ...
       .
""",
}

# Tree images: 16 x 16. 132 every item, 133 the selected item, 137 given to no item.
TREE_ICONS = {
    "tree_board": """

  .....
 .yyyyy.
 .yyyyyy.......
 .yyyyyyyyyyyy.
 .yyyyyyyyyyyy.
 .yyyyyyyyyyyy.
 .yyyyyyyyyyyy.
 .yyyyyyyyyyyy.
 .yyyyyyyyyyyy.
 .yyyyyyyyyyyy.
 .yyyyyyyyyyyy.
 ..............

""",
    "tree_board_open": """

  .....
 .yyyyy.
 .yyyyyy.......
 .yyyy.........
 .yyy.wwwwwwwww.
 .yyy.w.....ww.
 .yy.wwwwwwww.
 .yy.w....www.
 .y.wwwwwwww.
 .y.w......w.
 ..wwwwwwww.
 ...........

""",
    "tree_page": """
  .........
  .wwwwww.w.
  .wwwwww.ww.
  .wwwwww....
  .w.......w.
  .wwwwwwwww.
  .w......ww.
  .wwwwwwwww.
  .w.......w.
  .wwwwwwwww.
  .w.....www.
  .wwwwwwwww.
  .wwwwwwwww.
  ...........

""",
}

APP_ICON = {
    "quor": """
 ..............
 .bbbbbbbbbbbb.
 .b..........b.
 .b.wwwwwwww.b.
 .b.w......w.b.
 .b.wwwwwwww.b.
 .b.w.....ww.b.
 .b.wwwwwwww.b.
 .b.w......w.b.
 .b.wwwwwwww.b.
 .b..........b.
 .bbbbbbbbbbbb.
 ......bb......
     bbbbbb
    ........

""",
}


def write_xpm(directory, name, art, width, height):
    rows = art.split("\n")[1:]
    rows = [row.ljust(width)[:width] for row in rows]
    rows = (rows + [" " * width] * height)[:height]
    used = sorted({ch for row in rows for ch in row})
    lines = [
        "/* XPM */",
        f"static const char *const {name}_xpm[] = {{",
        f'"{width} {height} {len(used)} 1",',
    ]
    lines += [f'"{ch} c {PALETTE[ch]}",' for ch in used]
    lines += [f'"{row}",' for row in rows[:-1]] + [f'"{rows[-1]}"']
    lines.append("};")
    (directory / f"{name}.xpm").write_text("\n".join(lines) + "\n")


def main():
    directory = pathlib.Path(__file__).resolve().parent / "icons"
    directory.mkdir(exist_ok=True)
    for name, art in ICONS.items():
        write_xpm(directory, name, art, 16, 15)
    for name, art in TREE_ICONS.items():
        write_xpm(directory, name, art, 16, 16)
    for name, art in APP_ICON.items():
        write_xpm(directory, name, art, 16, 16)


if __name__ == "__main__":
    main()
