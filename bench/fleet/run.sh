#!/bin/sh
# Times the fleet table builder against cat on a generated folder of per-PC files; prints the
# figures (see bench/fleet/bench.py --help). Build the native tree first: make native.
exec python3 "$(dirname "$0")/bench.py" "$@"
