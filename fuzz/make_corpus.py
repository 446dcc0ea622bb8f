#!/usr/bin/env python3
"""Builds the fuzzers' seed corpora from the board server's pages.

Starts tests/support/board_server.py on 127.0.0.1 with a board of every BBS type in every
encoding (and one that sends a zero byte), fetches every page the way a page request does
(HTTP/1.0, raw bytes kept), and writes one seed file per page and fuzzer into OUT/<fuzzer>/,
each with the header bytes that fuzzer reads first (see the fuzzer's comment):

  make_corpus.py OUT
"""

import json
import os
import socket
import subprocess
import sys
import tempfile
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SERVER = os.path.join(ROOT, "tests", "support", "board_server.py")
CODES = {"sjis": 3, "euc": 1, "jis": 2}
TURNS = ["post", "get", "post-before", "none"]
KANJI_SETTINGS = [0, 1, 2, 3, 4, -1]  # the order the kanji fuzzer indexes
CUSTOM = ["<!-- posts -->", "<h3 class=t>", "</h3>", "<span class=n>", "</span>",
          "<span class=d>", "</span>", "<div class=m>", "</div>"]


def boards():
    result = []
    for kind in range(10):
        for number, encoding in enumerate(CODES):
            result.append({"type": kind, "encoding": encoding, "pages": 2,
                           "turn": TURNS[(kind + number) % len(TURNS)], "posts": 3})
    result.append({"type": 7, "encoding": "sjis", "pages": 1, "turn": "none", "fault": "zero-byte"})
    return result


def fetch(port, target):
    with socket.create_connection(("127.0.0.1", port), timeout=10) as sock:
        sock.sendall(f"GET {target} HTTP/1.0\nHost: 127.0.0.1:{port}\n\n".encode("ascii"))
        data = b""
        while True:
            chunk = sock.recv(65536)
            if not chunk:
                return data
            data += chunk


def body_of(response):
    return response.partition(b"\r\n\r\n")[2]


def hex_line(fields):
    return ",".join(field.hex() for field in fields).encode("ascii") + b"\r\n"


def write(out, fuzzer, name, data):
    folder = os.path.join(out, fuzzer)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as file:
        file.write(data)


def convert_header(board, given_markers, extra=0):
    method = {"post": 0, "post-before": 1, "get": 2, "none": 3}[board["turn"]]
    mask = (1 << 9) | ((0x1FF | (1 << 10)) if given_markers else 0) | extra
    search = {"post": 1, "get": 2, "post-before": 2, "none": 0}[board["turn"]]
    return bytes([board["type"] + 1, CODES[board["encoding"]], 1, method + 1, 5, 0, 0,
                  mask & 0xFF, mask >> 8, search, 0, 0])


def search_text(board):
    return {"post": 'name="pg_line"', "get": "次のページ", "post-before": "次のページ",
            "none": ""}[board["turn"]]


def write_seeds(out, number, board, page, response):
    name = f"board{number:02d}-page{page}"
    body = body_of(response)
    write(out, "page_response", name + "-fetch", bytes([1, 0, 0, 0]) + response)
    write(out, "page_response", name + "-cut", bytes([0, 4, 0, 200]) + response)
    code = CODES[board["encoding"]]
    write(out, "kanji_code", name, bytes([KANJI_SETTINGS.index(code)]) + body)
    write(out, "kanji_code", name + "-auto", bytes([0]) + body)
    write(out, "convert_board", name, convert_header(board, False) + response)
    # Render 1, with the Fields letters "TMND"; and wildcards in markers cut from the page.
    write(out, "convert_board", name + "-render",
          convert_header(board, False, (1 << 11) | (1 << 13)) + response)
    write(out, "convert_board", name + "-wildcard",
          convert_header(board, False, (1 << 12) | 0x1FE) + response)
    if board["type"] == 0:
        # Custom boards need their markers: given in the input, ahead of the page.
        encoding = {"sjis": "cp932", "euc": "euc-jp", "jis": "iso-2022-jp"}[board["encoding"]]
        given = b"".join(m.encode("ascii") + b"\0" for m in CUSTOM)
        given += search_text(board).encode("cp932" if encoding == "cp932" else encoding) + b"\0"
        write(out, "convert_board", name + "-markers", convert_header(board, True) + given + response)
    if board["encoding"] == "sjis":
        pieces = body.split(b"<blockquote>")
        for k, piece in enumerate(pieces[:3]):
            write(out, "text_cleaner", f"{name}-{k}", bytes([k * 0x15]) + piece[:2000])
            write(out, "field_renderer", f"{name}-{k}", piece[:2000].replace(b"</blockquote>", b"|"))
        write(out, "marker_pattern", name, b'<font color="{*}">\0' + body[:8000])
        quarter = max(1, len(body) // 8)
        lines = [hex_line(body[i:i + quarter].split(b"\n", 3))
                 for i in range(0, len(body), quarter)]
        write(out, "post_index", name, b"".join(lines))
        hashes = b"".join(b"%08x\r\n" % zlib.crc32(body[i:i + 64])
                          for i in range(0, len(body), 64))
        write(out, "read_state", name, hashes)


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = sys.argv[1]
    config = {"boards": boards()}
    with tempfile.TemporaryDirectory() as tmp:
        config_path = os.path.join(tmp, "boards.json")
        with open(config_path, "w", encoding="utf-8") as file:
            json.dump(config, file)
        server = subprocess.Popen([sys.executable, SERVER, "--config", config_path],
                                  stdout=subprocess.PIPE, text=True)
        try:
            port = int(server.stdout.readline().split()[1])
            for number, board in enumerate(config["boards"], 1):
                for page in range(1, board["pages"] + 1):
                    target = f"/board/{number}" + (f"?page={page}" if page > 1 else "")
                    write_seeds(out, number, board, page, fetch(port, target))
        finally:
            server.terminate()
            server.wait(timeout=10)
    # Hand-made files of the shapes the readers must take apart.
    write(out, "post_index", "shapes",
          b"6162,31,4e,782c79\r\n,,,\r\n6162,,,78\r\n61,62,63\r\n6,6z,,7\r\nABCD,ef,01,23\n")
    write(out, "field_renderer", "shapes",
          b"<pre>a\rb\r\nc</pre>| a <br> b &nbsp;&nbsp;c|<PRE>\n x</PRE>|"
          b"<script>address('a')</script><noscript>a at b</noscript>|"
          b"<!-- if (a > b) // -->A < B & C > D<a href=\"mailto:x\" title='>'>n</a>&#10;&lt;p&gt;")
    write(out, "marker_pattern", "shapes",
          b'<span style="color:{*}">{*}<\0<span style="color:#800000">a</span>'
          b'<span style="color:red">b<')
    write(out, "read_state", "shapes", b"00674300\r\n\r\n 0067 4300 \r\nDEADBEEF\r\n123456789\r\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
