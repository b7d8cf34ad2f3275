#!/bin/sh
# Writes the winget manifests of a release (the version, default-locale and installer
# files) for the files in the release folder, with their SHA-256 and the package's
# ProductCode read from the package itself. Called by `make dist` and `make test` once
# both Windows builds have put their files there.
# Arguments: the release folder (build/dist), the version, the download address that
# the files' names follow (ending in /), the package's UpgradeCode.
set -eu
dist=$1 version=$2 url=$3 upgradeCode=$4
manifests=$dist/winget/manifests/o/Orvenlit/Pelk/$version
schema="# yaml-language-server: \$schema=https://aka.ms/winget-manifest"
manifestVersion=1.10.0
rm -rf "$dist/winget"
mkdir -p "$manifests"

sha() { sha256sum "$dist/$1" | cut -d' ' -f1 | tr a-f A-F; }
# One installer: its architecture, type and file, then lines of its own.
installer() {
  echo "- Architecture: $1"
  echo "  InstallerType: $2"
  echo "  InstallerUrl: $url$3"
  echo "  InstallerSha256: $(sha "$3")"
}
productCode=$(msiinfo export "$dist/Pelk-$version.msi" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
[ -n "$productCode" ] || { echo "$0: no ProductCode in Pelk-$version.msi" >&2; exit 1; }

cat > "$manifests/Orvenlit.Pelk.yaml" <<EOF
$schema.version.$manifestVersion.schema.json
PackageIdentifier: Orvenlit.Pelk
PackageVersion: "$version"
DefaultLocale: en-US
ManifestType: version
ManifestVersion: $manifestVersion
EOF

cat > "$manifests/Orvenlit.Pelk.locale.en-US.yaml" <<EOF
$schema.defaultLocale.$manifestVersion.schema.json
PackageIdentifier: Orvenlit.Pelk
PackageVersion: "$version"
PackageLocale: en-US
Publisher: Orvenlit
PackageName: Pelk
License: Proprietary
Copyright: Copyright (C) 2026 Orvenlit
ShortDescription: Shuts down, restarts or suspends the computer on request, on a schedule or when it is idle, from the notification area.
Moniker: pelk
ManifestType: defaultLocale
ManifestVersion: $manifestVersion
EOF

# The Add/Remove entry of the NSIS installer is the key "Pelk"; a zip holds Pelk.exe,
# which winget puts on the path as it is.
{
  echo "$schema.installer.$manifestVersion.schema.json"
  echo "PackageIdentifier: Orvenlit.Pelk"
  echo "PackageVersion: \"$version\""
  echo "Installers:"
  installer x86 nullsoft "Pelk-$version-setup.exe"
  echo "  Scope: machine"
  echo "  ProductCode: Pelk"
  installer x86 msi "Pelk-$version.msi"
  echo "  Scope: machine"
  echo "  ProductCode: \"$productCode\""
  echo "  AppsAndFeaturesEntries:"
  echo "  - UpgradeCode: \"$upgradeCode\""
  for zip in "x86 Pelk-$version.zip" "x64 Pelk-$version-x64.zip"; do
    set -- $zip
    installer "$1" zip "$2"
    echo "  NestedInstallerType: portable"
    echo "  NestedInstallerFiles:"
    echo "  - RelativeFilePath: Pelk.exe"
  done
  echo "ManifestType: installer"
  echo "ManifestVersion: $manifestVersion"
} > "$manifests/Orvenlit.Pelk.installer.yaml"
