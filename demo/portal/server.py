#!/usr/bin/env python3
"""Local stand-in for the game's web site, served on 127.0.0.1 only.

It answers the pages the client relies on: the start page "/games/vorn/dlq"
followed by any user id, the server list ("xf.html", element "login_user"),
game pages ("type=pc", "client=1") that set the title through
window.external.zarvo_title, a page titled "温馨提示", and the four portal pages.
Every request line is appended to the log file, so tests can see what the
client asked for.
"""

import argparse
import html
import os
import re
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit

STYLE = """
body { margin: 0; font-family: "Microsoft YaHei", "WenQuanYi Zen Hei", sans-serif;
       background: #0b1a33; color: #f4e6bd; }
.box { margin: 24px auto; width: 520px; padding: 16px 24px; background: #16325c;
       border: 2px solid #e8c35a; border-radius: 8px; }
h1 { font-size: 20px; color: #e8c35a; margin: 0 0 12px 0; }
a { color: #fbe7a6; }
input { width: 200px; }
li { margin: 6px 0; }
"""


def page(title, body):
    return (
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
        f"<title>{html.escape(title)}</title><style>{STYLE}</style></head>"
        f"<body><div class=\"box\">{body}</div></body></html>\n"
    )


def start_page(uid):
    who = f"（用户编号 {html.escape(uid)}）" if uid else ""
    return page("Morvane网页版 - 登录", f"""
<h1>欢迎来到 Morvane {who}</h1>
<form action="/games/vorn/login" method="get">
  <p>账号：<input name="user" value="玩家{html.escape(uid or '001')}"></p>
  <p>密码：<input name="pass" type="password" value="******"></p>
  <p><input type="submit" value="登录"></p>
</form>
<p><a href="/games/vorn/notice">温馨提示</a></p>
""")


def server_list(user):
    return page("Morvane网页版 - 选择服务器", f"""
<h1>选择服务器</h1>
<p>当前账号：<span id="login_user">{html.escape(user)}</span></p>
<ul>
  <li><a href="/games/vorn/play?server=1&amp;type=pc">一区 星辰</a></li>
  <li><a href="/games/vorn/play?server=2&amp;type=pc&amp;client=1">二区 沧海</a></li>
</ul>
""")


def game_page(server):
    title = f"Morvane - {server}区"
    return page(title, f"""
<h1>{html.escape(title)}</h1>
<p>游戏正在加载……</p>
<p><a href="/games/vorn/" target="_blank">官方网站</a> |
   <a href="/kf/" target="_blank">客服中心</a></p>
<script>
  if (window.external && ("zarvo_title" in window.external)) {{
    window.external.zarvo_title({server!r} + "区 - Morvane网页版");
  }}
</script>
""")


PORTAL_PAGES = {
    "/kf/": ("客服中心", "有问题请联系客服。"),
    "/games/vorn/": ("Morvane 官方网站", "最新活动与公告。"),
    "/forum-2110-1.html": ("游戏论坛", "玩家交流区。"),
    "/": ("充值中心", "请选择充值金额。"),
}


class Handler(BaseHTTPRequestHandler):
    server_version = "MorvaneDemo/1.0"

    def log_message(self, fmt, *args):  # quiet: the request log is written below
        pass

    def do_GET(self):
        self.server.record(f"GET {self.path}")
        parts = urlsplit(self.path)
        query = parse_qs(parts.query)
        path = parts.path
        match = re.fullmatch(r"/games/vorn/dlq(\d*)", path)
        if match:
            return self.send_html(start_page(match.group(1)))
        if path == "/games/vorn/login":
            user = query.get("user", ["玩家001"])[0]
            return self.redirect(f"/games/vorn/xf.html?user={user}")
        if path == "/games/vorn/xf.html":
            return self.send_html(server_list(query.get("user", ["玩家001"])[0]))
        if path == "/games/vorn/play":
            return self.send_html(game_page(query.get("server", ["1"])[0]))
        if path == "/games/vorn/notice":
            return self.send_html(page("温馨提示", "<h1>温馨提示</h1><p>服务器维护中，请稍后再试。</p>"))
        if path in PORTAL_PAGES:
            title, text = PORTAL_PAGES[path]
            return self.send_html(page(title, f"<h1>{title}</h1><p>{text}</p>"))
        self.send_error(404, "Not Found")

    def send_html(self, text):
        body = text.encode("utf-8")
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, location):
        from urllib.parse import quote
        self.send_response(302)
        self.send_header("Location", quote(location, safe="/?=&"))
        self.send_header("Content-Length", "0")
        self.end_headers()


class PortalServer(ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, port, log_path):
        super().__init__(("127.0.0.1", port), Handler)
        self.log_path = log_path
        self.log_lock = threading.Lock()

    def record(self, line):
        if not self.log_path:
            return
        with self.log_lock, open(self.log_path, "a", encoding="utf-8") as log:
            log.write(line + "\n")


def watch_parent(pid, server):
    """Stops the server when the process that started it is gone."""
    while True:
        time.sleep(1)
        try:
            os.kill(pid, 0)
        except OSError:
            server.shutdown()
            return


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--port", type=int, default=0, help="port on 127.0.0.1 (0: any free port)")
    parser.add_argument("--port-file", help="write the chosen port here once listening")
    parser.add_argument("--log", help="append each request line to this file")
    parser.add_argument("--parent-pid", type=int, help="stop when this process ends")
    args = parser.parse_args()

    server = PortalServer(args.port, args.log)
    port = server.server_address[1]
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(f"{port}\n")
        os.replace(tmp, args.port_file)
    if args.parent_pid:
        threading.Thread(target=watch_parent, args=(args.parent_pid, server), daemon=True).start()
    print(f"demo portal on http://127.0.0.1:{port}/games/vorn/dlq", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
