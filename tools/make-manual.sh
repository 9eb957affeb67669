#!/usr/bin/env bash
# Packs docs/manual/manual.html and the pictures it shows into one MHTML file, the user manual
# that the program opens from its directory. Run it again after changing the text or pictures.
set -euo pipefail
cd "$(dirname "$0")/../docs/manual"
out="Varnholt使用手册.mht"
boundary="----=_VarnholtManual_0001"
{
    printf 'From: <Varnholt>\r\n'
    printf 'Subject: Varnholt user manual\r\n'
    printf 'MIME-Version: 1.0\r\n'
    printf 'Content-Type: multipart/related; type="text/html"; boundary="%s"\r\n\r\n' "$boundary"
    printf 'This is a multi-part message in MIME format.\r\n\r\n'
    printf -- '--%s\r\n' "$boundary"
    printf 'Content-Type: text/html; charset="utf-8"\r\n'
    printf 'Content-Transfer-Encoding: base64\r\n'
    printf 'Content-Location: file:///manual.html\r\n\r\n'
    base64 -w 76 manual.html | sed 's/$/\r/'
    for picture in *.png; do
        [ -e "$picture" ] || continue
        printf '\r\n--%s\r\n' "$boundary"
        printf 'Content-Type: image/png\r\n'
        printf 'Content-Transfer-Encoding: base64\r\n'
        printf 'Content-Location: file:///%s\r\n\r\n' "$picture"
        base64 -w 76 "$picture" | sed 's/$/\r/'
    done
    printf '\r\n--%s--\r\n' "$boundary"
} > "$out"
echo "wrote docs/manual/$out"
