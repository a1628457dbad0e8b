#!/usr/bin/env python3
"""What a Wine prefix holds, and what changed in it, for the package's test under Wine.

    prefix_state.py snapshot PREFIX OUT.json [HASHES.json]
        Every folder, file (size and SHA-1) and link under drive_c, and every
        registry key and value of the prefix's registry files (system.reg,
        user.reg, userdef.reg). Read from disk: run it while no Wine program
        runs (after `wineserver -w`), so that the registry files are current.
        No Wine program is started, so Wine's start-up (which runs and removes
        the RunOnce entries) does not run either. HASHES.json keeps the hashes
        from one snapshot to the next: a file whose size, time of change and
        inode are the same is not read again.

    prefix_state.py diff BEFORE.json AFTER.json
        One line per change, "created|deleted|changed <item>", sorted; the
        items that Wine itself changes in every session (see WINE_OWN) are
        left out. Exit code 0.

    prefix_state.py value STATE.json KEY NAME
        Prints the data of a registry value as the registry file holds it
        (a REG_SZ as its unescaped text); exit code 1 when it is not there.

Items are named as a Windows program sees them: "file C:\\windows\\inf\\oem7.inf",
"key HKLM\\System\\...", "value HKLM\\Software\\...\\RunOnce [RestartSetupLaser]".
Names compare without regard to letter case, as on Windows.
"""
import hashlib
import json
import os
import re
import sys

REGISTRY_FILES = {
    "system.reg": "HKLM",
    "user.reg": "HKCU",
    "userdef.reg": "HKU\\.Default",
}

# What Wine changes in a prefix whenever programs run in it, whatever they do.
# Each pattern is matched against the whole item name, ignoring letter case.
WINE_OWN = [
    # The session's start records the time it ran and the volatile hardware
    # description of the machine (display, sound, disks).
    (r"(created|changed|deleted) (key|value) HKLM\\System\\CurrentControlSet\\Control\\"
     r"(Class|DeviceClasses|Video)\\.*", "display and device set-up of each session"),
    (r"(created|changed|deleted) (key|value) HKLM\\System\\CurrentControlSet\\Enum\\"
     r"(DISPLAY|ROOT|PCI|WINEBUS|HID|USB)(\\.*)?", "devices Wine enumerates at each start"),
    (r"(created|changed|deleted) (key|value) HKLM\\Software\\Wine\\.*", "Wine's own settings"),
    (r"(created|changed|deleted) (key|value) HKCU\\Software\\Wine\\.*", "Wine's own settings"),
    (r"(created|changed|deleted) (key|value) HKLM\\Hardware\\.*", "hardware description"),
]


def unescape_key(text):
    return text.replace("\\\\", "\\")


def read_registry(path, root, items):
    """Adds the keys and values of one registry file to `items`."""
    key = None
    pending = ""
    with open(path, encoding="utf-8", errors="surrogateescape") as registry:
        for raw in registry:
            line = raw.rstrip("\n")
            if pending:
                line = pending + line.lstrip()
                pending = ""
            if line.endswith("\\") and key is not None and not line.startswith("["):
                pending = line[:-1]
                continue
            header = re.match(r"^\[(.+)\](?: \d+)?$", line)
            if header:
                key = root + "\\" + unescape_key(header.group(1))
                # Wine writes a header only for a key with values or without
                # subkeys; the keys above it exist all the same.
                path = key
                while "\\" in path and "key " + path not in items:
                    items["key " + path] = ""
                    path = path.rsplit("\\", 1)[0]
                continue
            if key is None or not line or line.startswith("#") or line.startswith(";"):
                continue
            value = re.match(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$', line)
            if value:
                name = "" if value.group(1) == "@" else value.group(1)[1:-1].replace("\\\\", "\\")
                items["value %s [%s]" % (key, name or "(default)")] = value.group(2)


def read_files(prefix, items, hashes):
    drive = os.path.join(prefix, "drive_c")
    for folder, subfolders, files in os.walk(drive, followlinks=False):
        relative = os.path.relpath(folder, drive)
        shown = "C:" if relative == "." else "C:\\" + relative.replace("/", "\\")
        for name in sorted(subfolders):
            full = os.path.join(folder, name)
            if os.path.islink(full):
                items["link %s\\%s" % (shown, name)] = os.readlink(full)
            else:
                items["folder %s\\%s" % (shown, name)] = ""
        for name in sorted(files):
            full = os.path.join(folder, name)
            if os.path.islink(full):
                items["link %s\\%s" % (shown, name)] = os.readlink(full)
                continue
            status = os.stat(full)
            stamp = "%d %d %d" % (status.st_size, status.st_ctime_ns, status.st_ino)
            known = hashes.get(full)
            if known and known[0] == stamp:
                digest = known[1]
            else:
                sha1 = hashlib.sha1()
                with open(full, "rb") as content:
                    for block in iter(lambda: content.read(1 << 20), b""):
                        sha1.update(block)
                digest = sha1.hexdigest()
                hashes[full] = [stamp, digest]
            items["file %s\\%s" % (shown, name)] = "%d %s" % (status.st_size, digest)


def snapshot(prefix, out, hashes_path=None):
    items = {}
    hashes = {}
    if hashes_path and os.path.exists(hashes_path):
        with open(hashes_path, encoding="utf-8") as source:
            hashes = json.load(source)
    read_files(prefix, items, hashes)
    if hashes_path:
        with open(hashes_path, "w", encoding="utf-8") as target:
            json.dump(hashes, target)
    for name, root in REGISTRY_FILES.items():
        path = os.path.join(prefix, name)
        if os.path.exists(path):
            read_registry(path, root, items)
    with open(out, "w", encoding="utf-8") as target:
        json.dump(items, target, indent=0, sort_keys=True)


def load(path):
    with open(path, encoding="utf-8") as source:
        items = json.load(source)
    # Keyed without regard to letter case; the name shown keeps its own.
    return {name.lower(): (name, state) for name, state in items.items()}


def changes(before, after):
    out = []
    for key, (name, state) in before.items():
        if key not in after:
            out.append("deleted " + name)
        elif after[key][1] != state:
            out.append("changed " + name)
    for key, (name, _) in after.items():
        if key not in before:
            out.append("created " + name)
    own = [re.compile(pattern, re.IGNORECASE) for pattern, _ in WINE_OWN]
    return sorted(line for line in out if not any(p.fullmatch(line) for p in own))


def registry_text(data):
    """The text of a REG_SZ as the registry file writes it ("..." with escapes)."""
    match = re.fullmatch(r'"((?:[^"\\]|\\.)*)"', data)
    if not match:
        return None
    return re.sub(r"\\(.)", r"\1", match.group(1))


def main(argv):
    if len(argv) in (4, 5) and argv[1] == "snapshot":
        snapshot(*argv[2:])
        return 0
    if len(argv) == 4 and argv[1] == "diff":
        for line in changes(load(argv[2]), load(argv[3])):
            print(line)
        return 0
    if len(argv) == 5 and argv[1] == "value":
        found = load(argv[2]).get(("value %s [%s]" % (argv[3], argv[4])).lower())
        text = registry_text(found[1]) if found else None
        if text is None:
            return 1
        print(text)
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
