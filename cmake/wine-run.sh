#!/bin/sh
# Runs a cross-built Windows program under Wine: quiet, and without asking to
# install Wine's .NET and HTML engines when a fresh prefix is made.
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
