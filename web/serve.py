#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 with the headers shared memory needs.

serve.py FOLDER [PORT]: prints the address, then serves until stopped.
A port of 0 (the default 8000 is taken otherwise) picks a free one."""
import functools
import http.server
import sys


class IsolatedHandler(http.server.SimpleHTTPRequestHandler):
    # Shared memory (SharedArrayBuffer, so threads) needs a page that is
    # cross-origin isolated, which these two headers make it.
    def end_headers(self):
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        self.send_header("Cache-Control", "no-store")
        super().end_headers()


IsolatedHandler.extensions_map[".wasm"] = "application/wasm"
IsolatedHandler.extensions_map[".js"] = "text/javascript"


def main():
    if len(sys.argv) not in (2, 3):
        print("usage: serve.py FOLDER [PORT]", file=sys.stderr)
        return 2
    port = int(sys.argv[2]) if len(sys.argv) == 3 else 8000
    handler = functools.partial(IsolatedHandler, directory=sys.argv[1])
    with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
        print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
