#!/bin/bash
# Serves the built web page locally: http://127.0.0.1:8000/zarvo.html.
#
#   tools/serve-web.sh [PORT [FOLDER]]
# PORT 0 takes a free one (the address printed says which); FOLDER is build-web/ by default.
# Another module plays from the address: http://127.0.0.1:8000/zarvo.html?module=other.xm (the
# file put beside zarvo.html).
#
# The build leaves NAME.gz beside each file of the page: where the browser accepts gzip (every
# browser does), this server sends that with Content-Encoding: gzip, so the page travels at less
# than half its size. Any static web server will do as well; the README says how to make a real
# one send the compressed files. Python's own server, on which this one is built, sends no
# compressed files by itself.
set -euo pipefail
port="${1:-8000}"
folder="${2:-$(dirname "$0")/../build-web}"
cd "$folder"
[ -f zarvo.html ] || { echo "serve-web: no zarvo.html in $(pwd) (tools/build-web.sh builds it)" >&2; exit 1; }
exec python3 -u - "$port" <<'PYTHON'
import http.server
import os
import sys

TYPES = {'.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
         '.xm': 'application/octet-stream', '.ico': 'image/x-icon'}


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map, **TYPES)

    # A file with a NAME.gz beside it, no older than itself, goes out compressed to a client
    # that takes gzip: the type stays the file's own, and caches are told that the answer
    # depends on the encoding.
    def send_head(self):
        path = self.translate_path(self.path)
        packed = path + '.gz'
        accepted = 'gzip' in self.headers.get('Accept-Encoding', '')
        if (not accepted or not os.path.isfile(path) or not os.path.isfile(packed)
                or os.path.getmtime(packed) < os.path.getmtime(path)):
            return super().send_head()
        try:
            stream = open(packed, 'rb')
        except OSError:
            return super().send_head()
        size = os.fstat(stream.fileno()).st_size
        self.send_response(200)
        self.send_header('Content-Type', self.guess_type(path))
        self.send_header('Content-Encoding', 'gzip')
        self.send_header('Content-Length', str(size))
        self.send_header('Vary', 'Accept-Encoding')
        self.send_header('Last-Modified', self.date_time_string(os.path.getmtime(packed)))
        self.end_headers()
        return stream

    def end_headers(self):
        # The page is rebuilt often: the browser asks again rather than keep an old zarvo.wasm.
        self.send_header('Cache-Control', 'no-cache')
        super().end_headers()


server = http.server.ThreadingHTTPServer(('127.0.0.1', int(sys.argv[1])), Handler)
print('Zarvo: open http://127.0.0.1:%d/zarvo.html (Ctrl+C stops the server)' % server.server_port)
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
PYTHON
