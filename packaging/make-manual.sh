#!/bin/sh
# Writes quavix-host's manual page from its own --help, so that the page
# and the tool can never disagree: the usage text is set as it prints, in a
# fixed-width block, under the sections man readers look for.
#
#   packaging/make-manual.sh HOST_TOOL VERSION OUTPUT
set -eu
host=$1
version=$2
output=$3
# The page's date is the source's, not the build's, so that two builds of
# one commit make the same page.
date=$(date -u -d "@${SOURCE_DATE_EPOCH:-0}" +%Y-%m-%d)
{
    printf '.TH QUAVIX-HOST 1 "%s" "Quavix %s" "User Commands"\n' "$date" "$version"
    cat <<'HEAD'
.SH NAME
quavix-host \- render, measure, benchmark and validate VST 2.4 plug-ins
.SH SYNOPSIS
.B quavix-host
.I PLUGIN
[\fIIN.wav OUT.wav\fR] [\fIoptions\fR]
.br
.B quavix-host
\fB\-\-COMMAND\fR [\fIFILE\fR] \fIPLUGIN\fR [\fIoptions\fR]
.SH DESCRIPTION
A small command-line VST 2.4 host, shipped with the Quavix wah plug-in.
Its commands and options, as \fBquavix-host \-\-help\fR prints them:
.PP
.nf
HEAD
    # Backslashes and line-initial dots or quotes would be read as requests.
    "$host" --help | tr -d '\r' | sed -e 's/\\/\\e/g' -e "s/^\\([.']\\)/\\\\\\&\\1/"
    cat <<'TAIL'
.fi
.SH FILES
.TP
.I /usr/lib/vst/quavix.so, /usr/local/lib/vst/quavix.so
Quavix, the VST 2.4 plug-in, where the package and \fBmake install\fR put it.
.TP
.I /usr/lib/lv2/quavix.lv2, /usr/local/lib/lv2/quavix.lv2
Quavix as an LV2 bundle.
.SH EXIT STATUS
0 when the job is done (for a validation: when no check failed); otherwise
not 0, with the reason on standard error.
TAIL
} >"$output.new"
mv "$output.new" "$output"
