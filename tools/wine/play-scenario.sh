#!/usr/bin/env bash
# play-scenario.sh SCENARIO [OPTIONS]: plays a scenario file against vuni.exe under Wine
# (see tools/wine/play-scenario.py --help and docs/scenarios.md).
exec python3 "$(dirname "$0")/play-scenario.py" "$@"
