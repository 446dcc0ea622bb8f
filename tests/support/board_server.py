#!/usr/bin/env python3
"""Quor's board server: web bulletin boards on 127.0.0.1 for the integration tests and the demo.

One process serves any number of boards. Each board is a page of posts in the markup of one of
the built-in BBS types (or Custom markers), encoded in Shift-JIS, EUC-JP or ISO-2022-JP, with a
next-page control in the shape its page-turn settings expect, a number of pages, a latency and
faults. Every request is logged.

Command line:
  board_server.py [--host 127.0.0.1] [--port 0] [--config FILE.json | --demo]
                  [--port-file FILE] [--settings-file FILE] [--log FILE]
                  [--latency-ms N] [--stall-seconds N] [--print-settings tsv|sh]

  --port 0 picks a free port. On start the server prints "PORT <n>" on its standard output (and
  writes <n> to --port-file), then writes the settings of its boards to --settings-file.
  --print-settings prints those settings for --port and exits without serving:
    tsv  one "SECTION<TAB>KEY<TAB>VALUE" line per key (UTF-8)
    sh   one "quorcli set SECTION KEY VALUE" line per key, shell-quoted
  --log appends one JSON object a line per request: seq, board, page, method, target, body,
  fault, bytes (of the response), start and end (seconds on the monotonic clock: request read,
  response done).
  The server runs until SIGTERM or SIGINT.

Board configuration (JSON; every field optional):
  {"latency_ms": 0,
   "boards": [{
     "name": "HyperBBS",      board name (Data%d); default "<type name> <encoding>"
     "type": 1,               0 Custom (own markers), 1-9 the built-in BBS types
     "encoding": "sjis",      sjis | euc | jis
     "code": "match",         CCode%d written: match (1 EUC, 2 JIS, 3 SJIS) or auto (0)
     "pages": 3,              pages the board has
     "page_count": null,      PageCt%d written; default: pages
     "posts": 4,              posts per page
     "turn": "post",          post: form with value=N after the search text (NextAna 0)
                              post-before: value=N before the search text (NextAna 1)
                              get: link with ?page=N (NextAna 2)
                              none: no next-page control (NextAna 3)
     "page_param": "pg_line", the form's parameter name, written as PageSent%d
     "write_page_sent": true, false leaves PageSent%d unwritten (the scheduler sends "dummy")
     "latency_ms": null,      delay before answering; default: the global latency
     "fault": null,           stall | close-mid-body | refuse | zero-byte
     "fault_pages": null,     pages the fault applies to; default: every page
     "enable": 0,             Enable%d written when not 0 (nonzero: fetch-all skips the board)
     "parent": 0}]}           Parent%d

Addresses: board n is http://HOST:PORT/board/n. Page 1 is a GET without a query; a POST whose
body ends in "=N" or a GET with the query "page=N" asks for page N. Unknown pages give 404.

Encoding goes through the iconv program, never Python's codecs: encoders differ for characters
that Shift-JIS holds twice, and every tool of the project encodes alike.
"""

import argparse
import json
import re
import shlex
import signal
import socket
import socketserver
import subprocess
import sys
import threading
import time

TYPE_NAMES = ["Custom", "HyperBBS", "VertexBBS", "SMBBS", "FSBBS", "MiniBBS", "LightBoard",
              "TCUPBBS", "PersonalBBS", "TCUPMiniBBS"]
ENCODINGS = {"sjis": ("CP932", "Shift_JIS", 3), "euc": ("EUC-JP", "EUC-JP", 1),
             "jis": ("ISO-2022-JP", "ISO-2022-JP", 2)}
TURN_METHODS = {"post": 0, "post-before": 1, "get": 2, "none": 3}
SEARCH_TEXTS = {"post": 'name="{param}"', "post-before": "次のページ", "get": "次のページ"}

CUSTOM_MARKERS = {
    "Pass": "<!-- posts -->", "TitA": "<h3 class=t>", "TitB": "</h3>",
    "NameA": "<span class=n>", "NameB": "</span>", "DateA": "<span class=d>", "DateB": "</span>",
    "HonbunA": "<div class=m>", "HonbunB": "</div>",
}

DEMO_CONFIG = {"boards": [
    {"name": "雑談掲示板", "type": 1, "encoding": "sjis", "pages": 2, "turn": "post"},
    {"name": "技術の話", "type": 7, "encoding": "euc", "pages": 2, "turn": "get"},
    {"name": "お知らせ", "type": 2, "encoding": "jis", "pages": 1},
    {"name": "Custom board", "type": 0, "encoding": "sjis", "pages": 2, "turn": "post-before"},
    {"name": "FSBBS", "type": 4, "encoding": "sjis", "pages": 1, "parent": 1},
]}


def encode(text, encoding):
    """Encodes UTF-8 text with iconv; characters without a form become the geta mark."""
    target = ENCODINGS[encoding][0]
    data = text.encode("utf-8")
    result = subprocess.run(["iconv", "-f", "UTF-8", "-t", target], input=data,
                            capture_output=True, check=False)
    if result.returncode != 0:
        raise ValueError(f"iconv cannot encode a page to {target}: {result.stderr!r}")
    return result.stdout


class Board:
    def __init__(self, number, config, global_latency):
        self.number = number
        self.type = int(config.get("type", 1))
        self.encoding = config.get("encoding", "sjis")
        if self.encoding not in ENCODINGS:
            raise ValueError(f"board {number}: unknown encoding {self.encoding}")
        self.name = config.get("name") or f"{TYPE_NAMES[self.type]} {self.encoding}"
        self.code = config.get("code", "match")
        self.pages = int(config.get("pages", 1))
        self.page_count = config.get("page_count")
        self.posts = int(config.get("posts", 4))
        self.turn = config.get("turn", "post")
        if self.turn not in TURN_METHODS:
            raise ValueError(f"board {number}: unknown turn {self.turn}")
        self.page_param = config.get("page_param", "pg_line")
        self.write_page_sent = bool(config.get("write_page_sent", True))
        latency = config.get("latency_ms")
        self.latency = (global_latency if latency is None else int(latency)) / 1000.0
        self.fault = config.get("fault")
        self.fault_pages = config.get("fault_pages")
        self.enable = int(config.get("enable", 0))
        self.parent = int(config.get("parent", 0))
        self._cache = {}
        self._lock = threading.Lock()

    def path(self):
        return f"/board/{self.number}"

    def fault_for(self, page):
        if self.fault and (self.fault_pages is None or page in self.fault_pages):
            return self.fault
        return None

    def settings(self, base):
        n = self.number
        rows = [(f"Parent{n}", self.parent), (f"Data{n}", self.name),
                (f"Url{n}", base + self.path()), (f"Type{n}", self.type),
                (f"CCode{n}", 0 if self.code == "auto" else ENCODINGS[self.encoding][2]),
                (f"PageCt{n}", self.pages if self.page_count is None else self.page_count),
                (f"NextAna{n}", TURN_METHODS[self.turn])]
        if self.turn in SEARCH_TEXTS:
            rows.append((f"PageBtn{n}", SEARCH_TEXTS[self.turn].format(param=self.page_param)))
        if self.write_page_sent:
            rows.append((f"PageSent{n}", self.page_param))
        if self.enable:
            rows.append((f"Enable{n}", self.enable))
        if self.type == 0:
            rows += [(f"{stem}{n}", value) for stem, value in CUSTOM_MARKERS.items()]
        return [("Tree", key, str(value)) for key, value in rows]

    def page_bytes(self, page):
        with self._lock:
            if page not in self._cache:
                self._cache[page] = encode(self.page_html(page), self.encoding)
            return self._cache[page]

    def post_fields(self, page, index):
        k = (page - 1) * self.posts + index + 1
        if k % 2:
            return (f"テスト投稿 {k} &lt;重要&gt;", f"山田{k}", f"2024/05/{k % 28 + 1:02d} 12:{k % 60:02d}",
                    f"こんにちは。<br>これは{page}ページ目の{index + 1}番目の投稿です。<br>"
                    f"&quot;引用&quot; &amp; 記号")
        return (f"Post {k} &amp; more", f"guest{k}", f"2024/06/{k % 28 + 1:02d} 08:{k % 60:02d}",
                f"Hello from post {k}.<br>Second line &lt;b&gt;")

    def post_block(self, title, name, date, message):
        t = self.type
        if t == 1:
            return (f"<table><tr><td><font color=red><b><small>　{title}</b></font> "
                    f"投稿者：{name}さん 【{date}】</td></tr></table>"
                    f"<div>{message}</div></blockquote>\n")
        if t == 2:
            return (f"<b>{title}</b> 投稿者：<b>{name}</b> 投稿日：<font size=2>{date}</font>"
                    f"<blockquote>{message}</blockquote>\n")
        if t == 3:
            return (f'<tr><td><font size="5" color="#ff0000">{title}</font>\n'
                    f'<td><font size="4" color="#0000ff">{name}</font>\n'
                    f'<td><font size="3" color="#ff0000">{date}</font>\n'
                    f'<tr><td colspan="6">{message}\n  <td><br></td>\n')
        if t == 4:
            return (f"<tr><td width=50% rowspan=2><b>{title}</b><br>{date}</td>"
                    f'<td width=50% bgcolor="#e0f0ff"><b>{name}さん</b></td>'
                    f'<tr><td colspan=2 id="kiji"><blockquote>{message}</blockquote></td>\n')
        if t == 5:
            return (f"<hr><b>{title}</b> 投稿者：<b>{name}</b> 投稿日：{date}<p>"
                    f"<blockquote>{message}</blockquote>\n")
        if t == 6:
            return (f"<b>{title}</b> 投稿者：{name}<small> 投稿日：{date}</small>"
                    f"<blockquote>{message}</blockquote>\n")
        if t in (7, 9):
            return (f"<b>{title}</b> 投稿者：<b>{name}</b> <font size=2>投稿日：{date}</font>"
                    f"<blockquote>{message}</blockquote><hr>\n")
        if t == 8:
            return (f"<b>{title}</b> <font size=4>{name}さん</font> "
                    f"<font size=-1>{date}<br></font><blockquote>{message}</blockquote><hr>\n")
        m = CUSTOM_MARKERS
        return (f"{m['TitA']}{title}{m['TitB']}{m['NameA']}{name}{m['NameB']}"
                f"{m['DateA']}{date}{m['DateB']}{m['HonbunA']}{message}{m['HonbunB']}\n")

    def preamble(self):
        skip = {1: "<table><tr><td>案内</td></tr></table><p>", 2: "<br><br><center>",
                3: "<p>案内</p>\n  <table>", 4: "<p><small>案内</small></p>",
                5: "<hr>", 6: "<blockquote>ようこそ</blockquote>", 7: "<hr>", 8: "<hr>",
                9: "<hr>", 0: CUSTOM_MARKERS["Pass"]}[self.type]
        return (f"<html><head><title>{self.name}</title></head><body>\n"
                f"<h1>{self.name}</h1>\n{skip}\n")

    def next_control(self, page):
        if page >= self.pages or self.turn == "none":
            return ""
        target = page + 1
        if self.turn == "post":
            return (f'<form method="POST" action="{self.path()}">'
                    f'<input type="hidden" name="{self.page_param}" value="{target}">'
                    f'<input type="submit" value="次のページ"></form>\n')
        if self.turn == "post-before":
            return (f'<form method="POST" action="{self.path()}">'
                    f'<input type="hidden" name="{self.page_param}" value="{target}">'
                    f'<button type="submit">次のページ</button></form>\n')
        return f'<p><a href="{self.path()}?page={target}">次のページ</a></p>\n'

    def page_html(self, page):
        blocks = "".join(self.post_block(*self.post_fields(page, i)) for i in range(self.posts))
        footer = "</table>\n" if self.type in (1, 3, 4) else ""
        return (self.preamble() + blocks + footer + f"<p>page {page}</p>\n" +
                self.next_control(page) + "</body></html>\n")

    def page_for(self, method, target, body):
        query = target.partition("?")[2]
        if method == "POST":
            found = re.search(rb"=(\d+)\s*$", body)
            return int(found.group(1)) if found else 1
        found = re.search(r"(?:^|&)page=(\d+)", query)
        return int(found.group(1)) if found else 1


class RequestLog:
    def __init__(self, path):
        self.file = open(path, "a", encoding="utf-8") if path else None
        self.lock = threading.Lock()
        self.seq = 0

    def write(self, entry):
        with self.lock:
            self.seq += 1
            entry["seq"] = self.seq
            if self.file:
                self.file.write(json.dumps(entry, ensure_ascii=False) + "\n")
                self.file.flush()


def read_request(sock):
    data = b""
    while True:
        for end_mark in (b"\r\n\r\n", b"\n\n"):
            end = data.find(end_mark)
            if end >= 0:
                header = data[:end].decode("latin-1")
                length = re.search(r"(?im)^content-length:\s*(\d+)", header)
                need = end + len(end_mark) + (int(length.group(1)) if length else 0)
                if len(data) >= need:
                    return header, data[end + len(end_mark):need]
                break
        chunk = sock.recv(65536)
        if not chunk:
            return None, b""
        data += chunk


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        server = self.server
        sock = self.request
        sock.settimeout(30)
        try:
            header, body = read_request(sock)
        except OSError:
            return
        if header is None:
            return
        start = time.monotonic()
        request_line = header.split("\n", 1)[0].strip()
        parts = request_line.split(" ")
        method, target = (parts[0], parts[1]) if len(parts) >= 2 else ("", "/")
        target = re.sub(r"^[a-zA-Z]+://[^/]*", "", target) or "/"
        path = target.partition("?")[0]
        board = server.boards_by_path.get(path.rstrip("/"))
        entry = {"board": board.number if board else 0, "method": method, "target": target,
                 "body": body.decode("latin-1"), "start": start}
        try:
            self.answer(board, method, target, body, entry)
        except OSError:
            entry["error"] = "peer went away"
        entry["end"] = time.monotonic()
        server.log.write(entry)

    def answer(self, board, method, target, body, entry):
        server = self.server
        sock = self.request
        if board is None:
            sock.sendall(b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n")
            entry["page"] = 0
            return
        page = board.page_for(method, target, body)
        entry["page"] = page
        fault = board.fault_for(page)
        entry["fault"] = fault
        if fault == "refuse":
            return
        if board.latency > 0:
            server.stopping.wait(board.latency)
        if fault == "stall":
            server.stopping.wait(server.stall_seconds)
            return
        if page < 1 or page > board.pages:
            sock.sendall(b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n")
            return
        content = board.page_bytes(page)
        if fault == "zero-byte":
            content = content[:len(content) // 2] + b"\0" + content[len(content) // 2:]
        charset = ENCODINGS[board.encoding][1]
        head = (f"HTTP/1.0 200 OK\r\nContent-Type: text/html; charset={charset}\r\n"
                f"Content-Length: {len(content)}\r\nConnection: close\r\n\r\n").encode("ascii")
        if fault == "close-mid-body":
            content = content[:len(content) // 2]
        entry["bytes"] = len(head) + len(content)
        sock.sendall(head + content)


class BoardServer(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 256  # parallel fetches must not be dropped at the door

    def __init__(self, address, boards, log, stall_seconds):
        self.boards_by_path = {board.path(): board for board in boards}
        self.log = log
        self.stall_seconds = stall_seconds
        self.stopping = threading.Event()
        super().__init__(address, Handler)

    def shutdown_request(self, request):
        try:
            request.shutdown(socket.SHUT_WR)
        except OSError:
            pass
        request.close()


def load_boards(args):
    if args.config:
        with open(args.config, encoding="utf-8") as file:
            config = json.load(file)
    elif args.demo:
        config = DEMO_CONFIG
    else:
        config = {"boards": [{}]}
    latency = args.latency_ms if args.latency_ms is not None else int(config.get("latency_ms", 0))
    return [Board(n, board, latency) for n, board in enumerate(config.get("boards", []), 1)]


def settings_rows(boards, host, port):
    base = f"http://{host}:{port}"
    rows = [("Tree", "Count", str(len(boards)))]
    for board in boards:
        rows += board.settings(base)
    return rows


def format_settings(rows, form):
    if form == "sh":
        return "".join("quorcli set " + " ".join(shlex.quote(v) for v in row) + "\n"
                       for row in rows)
    return "".join("\t".join(row) + "\n" for row in rows)


def main():
    parser = argparse.ArgumentParser(description="Quor's board server")
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--config")
    parser.add_argument("--demo", action="store_true")
    parser.add_argument("--port-file")
    parser.add_argument("--settings-file")
    parser.add_argument("--log")
    parser.add_argument("--latency-ms", type=int)
    parser.add_argument("--stall-seconds", type=float, default=30.0)
    parser.add_argument("--print-settings", choices=["tsv", "sh"])
    args = parser.parse_args()

    boards = load_boards(args)
    if args.print_settings:
        sys.stdout.write(format_settings(settings_rows(boards, args.host, args.port),
                                         args.print_settings))
        return 0

    server = BoardServer((args.host, args.port), boards, RequestLog(args.log), args.stall_seconds)
    port = server.server_address[1]
    if args.settings_file:
        with open(args.settings_file, "w", encoding="utf-8") as file:
            file.write(format_settings(settings_rows(boards, args.host, port), "tsv"))
    if args.port_file:
        with open(args.port_file, "w", encoding="ascii") as file:
            file.write(f"{port}\n")
    print(f"PORT {port}", flush=True)

    def stop(*_):
        server.stopping.set()
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    server.serve_forever(poll_interval=0.05)
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
