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
productCode() {
  code=$(msiinfo export "$dist/$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
  [ -n "$code" ] || { echo "$0: no ProductCode in $1" >&2; exit 1; }
  echo "$code"
}
# A package: the entry of Add/Remove Programs it makes, by which winget knows it is there.
package() {
  installer "$1" msi "$2"
  echo "  Scope: machine"
  echo "  ProductCode: \"$(productCode "$2")\""
  echo "  AppsAndFeaturesEntries:"
  echo "  - ProductCode: \"$(productCode "$2")\""
  echo "    UpgradeCode: \"$upgradeCode\""
}

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
ShortDescription: Powers off, restarts or suspends the PC on request, on a schedule or when idle, from the tray.
Description: Pelk lives in the notification area and powers off, restarts, shuts down, logs off, suspends or hibernates the computer when you ask, in so many minutes, at a time of day, when a program has ended or after the computer has been idle; it can also shut down or restart other computers on the network.
Moniker: pelk
ManifestType: defaultLocale
ManifestVersion: $manifestVersion
EOF

# Only what installs Pelk for the computer, managed: winget takes the machine's own
# architecture first, so the 64-bit package comes first for 64-bit Windows, and among
# equals the first listed, so the package comes before the NSIS installer (whose
# Add/Remove entry is the key "Pelk", and which refuses a downgrade with 1638). The
# zips stay out: a portable copy would win on 64-bit Windows and be no one's to manage.
{
  echo "$schema.installer.$manifestVersion.schema.json"
  echo "PackageIdentifier: Orvenlit.Pelk"
  echo "PackageVersion: \"$version\""
  echo "Installers:"
  package x64 "Pelk-$version-x64.msi"
  package x86 "Pelk-$version.msi"
  installer x86 nullsoft "Pelk-$version-setup.exe"
  echo "  Scope: machine"
  echo "  ProductCode: Pelk"
  echo "  ExpectedReturnCodes:"
  echo "  - InstallerReturnCode: 1638"
  echo "    ReturnResponse: downgrade"
  echo "ManifestType: installer"
  echo "ManifestVersion: $manifestVersion"
} > "$manifests/Orvenlit.Pelk.installer.yaml"
