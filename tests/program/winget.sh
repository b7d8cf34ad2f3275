#!/bin/sh
# The winget manifests of the release, as `make dist` wrote them: each file has the
# fields winget requires, every file of the release is an installer in them with the
# SHA-256 it has now, and the package's ProductCode is the one the package holds.
# Arguments: the release folder (build/dist), the version.
set -eu
dist=$1 version=$2
dir=$dist/winget/manifests/o/Orvenlit/Pelk/$version
fail() { echo "$*" >&2; exit 1; }
need() {  # a file and the fields it must have
  file=$dir/$1; shift
  for field in PackageIdentifier PackageVersion ManifestType ManifestVersion "$@"; do
    grep -q "^ *-\? *$field:" "$file" || fail "$file: no $field"
  done
}
need Orvenlit.Pelk.yaml DefaultLocale
need Orvenlit.Pelk.locale.en-US.yaml PackageLocale Publisher PackageName License ShortDescription
need Orvenlit.Pelk.installer.yaml Installers Architecture InstallerType InstallerUrl InstallerSha256
grep -q '^PackageVersion: "'"$version"'"$' "$dir/Orvenlit.Pelk.yaml" || fail "the version is not the quoted $version"
listed=$(sed -n 's|^  InstallerUrl: .*/||p' "$dir/Orvenlit.Pelk.installer.yaml" | sort)
[ "$listed" = "$(cd "$dist" && ls Pelk-*.exe Pelk-*.msi Pelk-*.zip | sort)" ] || fail "installers: $listed"
for file in $listed; do
  sed -n "\\|/$file\$|{n;p}" "$dir/Orvenlit.Pelk.installer.yaml" | grep -qi "InstallerSha256: $(sha256sum "$dist/$file" | cut -d' ' -f1)" ||
    fail "$file: another SHA-256"
done
# Beside them, and in each zip, the Group Policy templates.
for zip in "$dist"/Pelk-*.zip; do
  [ "$(unzip -Z1 "$zip" 'PolicyDefinitions/*.adm?' 'PolicyDefinitions/*/*.adm?' | wc -l)" = 2 ] || fail "$zip: no templates"
done
[ -f "$dist/PolicyDefinitions/Pelk.admx" ] && [ -f "$dist/PolicyDefinitions/en-US/Pelk.adml" ] || fail "no templates"
code=$(msiinfo export "$dist/Pelk-$version.msi" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
grep -q "ProductCode: \"$code\"" "$dir/Orvenlit.Pelk.installer.yaml" || fail "not the package's ProductCode $code"
