#!/bin/bash
# Serves the built web page locally: http://127.0.0.1:8000/zarvo.html (another port as argument).
#
#   tools/serve-web.sh [PORT]
# Any static web server will do; this one is Python's. Another module plays from the address:
# http://127.0.0.1:8000/zarvo.html?module=other.xm (the file put beside zarvo.html).
set -euo pipefail
cd "$(dirname "$0")/../build-web"
port="${1:-8000}"
echo "Zarvo: open http://127.0.0.1:$port/zarvo.html (Ctrl+C stops the server)"
exec python3 -m http.server "$port" --bind 127.0.0.1
