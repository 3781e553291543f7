#!/bin/bash
# Writes a demo OLVENDRA.INI: fixed-column labels (key, full stops to column 47, colon in 48),
# a blank in column 49, the value from column 50, CR LF line ends, Windows-1252 text.
set -euo pipefail
line() {
    local key=$1 value=$2
    local label="$key"
    while [ ${#label} -lt 47 ]; do label+="."; done
    printf '%s: %s\r\n' "$label" "$value"
}
{
    printf '[OLVENDRA]\r\n'
    line "IP DO SERVIDOR CENTRAL" ""
    line "COR DE FUNDO DAS TELAS" "15786192"
    line "FORMATA NOME DO CLIENTE" "Sim"
    line "LOG DE ATIVIDADES" "Nao"
} > "$1"
