#!/bin/sh
# The release's files as `make dist` wrote them: the winget manifests hold to winget's
# rules and pick the package of the machine's width, every installer of the release is
# in them with the SHA-256 it has now and each package's ProductCode, the Group Policy
# templates lie beside them and in each zip, and the packages' shortcuts name their files.
# Arguments: the release folder (build/dist), the version.
set -eu
dist=$1 version=$2
dir=$dist/winget/manifests/o/Orvenlit/Pelk/$version
fail() { echo "$*" >&2; exit 1; }
python3 "$(dirname "$0")/winget_rules.py" "$dir"/*.yaml || fail "the manifests break winget's rules"
listed=$(sed -n 's|^  InstallerUrl: .*/||p' "$dir/Orvenlit.Pelk.installer.yaml" | sort)
[ "$listed" = "$(cd "$dist" && ls Pelk-*.exe Pelk-*.msi | sort)" ] || fail "installers: $listed"
for file in $listed; do
  sed -n "\\|/$file\$|{n;p}" "$dir/Orvenlit.Pelk.installer.yaml" | grep -qi "InstallerSha256: $(sha256sum "$dist/$file" | cut -d' ' -f1)" ||
    fail "$file: another SHA-256"
done
for msi in "$dist"/Pelk-*.msi; do
  code=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
  grep -q "ProductCode: \"$code\"" "$dir/Orvenlit.Pelk.installer.yaml" || fail "not the ProductCode $code of $msi"
  [ "$(msiinfo export "$msi" Shortcut | tr -d '\r' | cut -f1,5 | grep -c 'Shortcut	\[#PelkExe\]$\|^HelpShortcut	\[#ReadMe\]$')" = 3 ] ||
    fail "$msi: a shortcut that does not name its file"
done
for zip in "$dist"/Pelk-*.zip; do
  [ "$(unzip -Z1 "$zip" 'PolicyDefinitions/*.adm?' 'PolicyDefinitions/*/*.adm?' | wc -l)" = 2 ] || fail "$zip: no templates"
done
[ -f "$dist/PolicyDefinitions/Pelk.admx" ] && [ -f "$dist/PolicyDefinitions/en-US/Pelk.adml" ] || fail "no templates"
