#!/bin/sh
# The shared library exports its API and nothing else: every symbol it
# defines for others belongs to quillon::api.
set -eu
others=$(nm -D --defined-only "$1" | c++filt | grep -v ' quillon::api::' || true)
[ -z "$others" ] || { echo "exported beyond the API:"; echo "$others"; exit 1; }
nm -D --defined-only "$1" | c++filt | grep -q ' quillon::api::convert' || { echo "no API exported"; exit 1; }
