# Sourced by the scripts that make the committed test archives (tests/unzip/*/make_fixtures.sh):
# stops at the first failure, sets out to the calling script's folder, where the archives go, and
# works in a fresh folder of its own, removed however the script ends, with times in UTC.
set -euo pipefail

out=$(cd "$(dirname "${BASH_SOURCE[1]}")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
export TZ=UTC
