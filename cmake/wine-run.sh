#!/bin/sh
# Runs a cross-built Windows program under Wine in the build's own prefix
# (PREFIX, made on first use), never in the user's: quiet, and without asking
# to install Wine's .NET and HTML engines or making menu entries. What Wine's
# helpers keep per user under the XDG directories (the sound server's runtime
# link, caches) goes into the prefix too, so nothing is written in the home.
# Usage: wine-run.sh PREFIX PROGRAM [ARGUMENT...]
export WINEPREFIX="$1"
shift
export XDG_CONFIG_HOME="$WINEPREFIX/xdg/config" XDG_DATA_HOME="$WINEPREFIX/xdg/data" \
  XDG_CACHE_HOME="$WINEPREFIX/xdg/cache"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=,winemenubuilder.exe=d}"
exec wine "$@"
