#!/usr/bin/env python3
# The winget manifests of a folder against the rules of winget's v1.10.0 manifest
# schemas (version, defaultLocale, installer) that a manifest of ours could break, as
# this table has them; then the installer winget picks on x64 and on x86, in the order
# its documentation gives: the machine's architecture first, then the installer type,
# then the scope (no preference set: the first listed of the best wins).
import re, sys, yaml

GUID = r"\{[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}\}"
FIELD = {  # name: (pattern, shortest, longest); pattern None: any text
    "PackageIdentifier": (r'[^.\s\\/:*?"<>|\x01-\x1f]{1,32}(\.[^.\s\\/:*?"<>|\x01-\x1f]{1,32}){1,7}', 1, 128),
    "PackageVersion": (r'[^\\/:*?"<>|\x01-\x1f]+', 1, 128),
    "DefaultLocale": (r"([a-zA-Z]{2,3}|[iI]-[a-zA-Z]+|[xX]-[a-zA-Z]{1,8})(-[a-zA-Z]{1,8})*", 1, 20),
    "ManifestVersion": (r"(0|[1-9][0-9]{0,4})(\.(0|[1-9][0-9]{0,4})){2}", 5, 17),
    "Publisher": (None, 2, 256), "PackageName": (None, 2, 256), "License": (None, 3, 512),
    "Copyright": (None, 3, 512), "ShortDescription": (None, 3, 100), "Description": (None, 3, 10000),
    "Moniker": (r"\S+", 1, 40), "InstallerUrl": (r"[Hh][Tt][Tt][Pp][Ss]?://.+", 1, 2048),
    "InstallerSha256": (r"[A-Fa-f0-9]{64}", 64, 64), "ProductCode": (None, 1, 255), "UpgradeCode": (GUID, 38, 38),
    "Architecture": ("x86|x64|arm|arm64|neutral", 1, 7), "Scope": ("user|machine", 4, 7),
    "InstallerType": ("msix|msi|appx|exe|zip|inno|nullsoft|wix|burn|pwa|portable|font", 2, 8),
    "ReturnResponse": ("packageInUse|packageInUseByApplication|installInProgress|fileInUse|missingDependency|diskFull|insufficientMemory|invalidParameter|noNetwork|contactSupport|rebootRequiredToFinish|"
                       "rebootRequiredForInstall|rebootInitiated|cancelledByUser|alreadyInstalled|downgrade|blockedByPolicy|systemNotSupported|custom", 1, 30),
}
REQUIRED = {"version": ["DefaultLocale"], "installer": ["Installers"],
            "defaultLocale": ["PackageLocale", "Publisher", "PackageName", "License", "ShortDescription"]}
FIELD["PackageLocale"] = FIELD["DefaultLocale"]
faults = []

def check(where, node):
    for name, value in node.items():
        if isinstance(value, list):
            for item in value:
                check(f"{where} {name}", item)
        elif name in FIELD:
            pattern, shortest, longest = FIELD[name]
            if not isinstance(value, str) or not shortest <= len(value) <= longest or \
                    (pattern and not re.fullmatch(pattern, value)):
                faults.append(f"{where}: {name} {value!r}")

manifests = {}
for path in sys.argv[1:]:
    manifest = yaml.safe_load(open(path, encoding="utf-8"))
    kind = manifest.get("ManifestType")
    manifests[kind] = manifest
    faults += [f"{path}: no {name}" for name in ["PackageIdentifier", "PackageVersion", "ManifestType",
                                                "ManifestVersion"] + REQUIRED.get(kind, ["?"]) if name not in manifest]
    check(path, manifest)
installers = manifests.get("installer", {}).get("Installers", [])
for installer in installers:
    faults += [f"an installer without {name}" for name in ["Architecture", "InstallerUrl", "InstallerSha256",
                                                          "InstallerType"] if name not in installer]
    if installer.get("InstallerType") == "msi" and not re.fullmatch(GUID, installer.get("ProductCode", "")):
        faults.append(f"{installer.get('InstallerUrl')}: no ProductCode of a package")
for machine, runs in [("x64", ["x64", "x86", "neutral"]), ("x86", ["x86", "neutral"])]:
    usable = [i for i in installers if i.get("Architecture") in runs]
    usable.sort(key=lambda i: runs.index(i["Architecture"]))  # stable: among equals the first listed
    picked = usable[0] if usable else {}
    if (picked.get("Architecture"), picked.get("InstallerType"), picked.get("Scope")) != (machine, "msi", "machine"):
        faults.append(f"on {machine} winget picks {picked.get('InstallerUrl')}, not the package of {machine}")
print("\n".join(faults) or "manifests hold")
sys.exit(1 if faults else 0)
