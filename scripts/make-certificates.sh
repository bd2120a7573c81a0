#!/usr/bin/env bash
# Makes a certificate authority of its own and a server certificate it signed
# for "localhost" (and 127.0.0.1), so that the demo and the tests can serve
# the boot image over https to a host that trusts exactly that authority.
#
# Usage: scripts/make-certificates.sh <folder> <name>
# Writes <name>-root.pem (the authority, for the host's trust store) and
# <name>-server.pem, <name>-server.key (for the server). Valid for ten years
# from now; nothing is kept between runs.
set -euo pipefail
folder=$1
name=$2
mkdir -p "$folder"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=$name root" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" \
    -keyout "$work/root.key" -out "$folder/$name-root.pem" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" \
    -keyout "$folder/$name-server.key" -out "$work/server.csr" 2>/dev/null
cat >"$work/server.ext" <<'EXT'
subjectAltName=DNS:localhost,IP:127.0.0.1
basicConstraints=critical,CA:FALSE
keyUsage=critical,digitalSignature,keyEncipherment
extendedKeyUsage=serverAuth
EXT
openssl x509 -req -days 3650 -in "$work/server.csr" -CA "$folder/$name-root.pem" \
    -CAkey "$work/root.key" -CAcreateserial -CAserial "$work/root.srl" \
    -extfile "$work/server.ext" -out "$folder/$name-server.pem" 2>/dev/null
