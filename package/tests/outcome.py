#!/usr/bin/env python3
"""One situation, two machines: a tarnwell-sim scenario put on a Wine prefix, and
what both runs of `setup.exe` did, in terms both can observe.

    outcome.py plan SCENARIO CASE_DIR
        What the Wine prefix gets from the scenario. Writes CASE_DIR/seeded.json
        (each seeded thing, named as in the scenario, with its place in the
        prefix) and prints the steps that need a Wine program, one per line,
        fields separated by tabs:
            package  C:\\...           the package's root (the test copies the package there)
            lacks    RELATIVE          a file the package's copy leaves out
            driver   NAME              a printer driver model for the spooler
            queue    NAME DRIVER PORT  a print queue
            key      KEY [NAME TYPE DATA]   a registry key (and value) for `reg add`
            hold     C:\\...           a file another process holds open
            run      PROGRAM ARGUMENTS what runs (setup.exe and its arguments)
            skip     WHAT WHY          a part of the scenario Wine cannot take
    outcome.py place SCENARIO PREFIX CASE_DIR
        Writes the scenario's files and INF packages into the prefix (after the
        spooler got its drivers: the driver folder is left holding exactly the
        scenario's files).
    outcome.py wine CASE_DIR OUT.json
        The outcome of the Wine run, from what the test collected in CASE_DIR
        (see package_under_wine.sh).
    outcome.py sim SCENARIO REPORT.json OUT.json
        The outcome of the simulated run, from `tarnwell-sim --json --calls`.
    outcome.py unexpected CASE_DIR
        The changes of the Wine run that the outcome does not account for (a
        line each); the wizard must leave nothing else behind.
    outcome.py compare WINE.json SIM.json
        Compares the two outcomes, field by field; Wine's own deviations are
        named and left out. Exit code 1 when they differ.
    outcome.py flat OUTCOME.json
        Prints an outcome a line a field (for the test's own checks).
    outcome.py listing FOLDER
        The files and folders under FOLDER of this computer, as the outcome's
        "fallbackCopy" lists a copy of it.

The outcome: for each seeded thing whether it is "gone" or "stayed"; how many
driver packages (.inf) appeared in the INF folder; the files of the package's
copy in the fallback folder ("<temp>" for the temporary-files folder); the
restart entry's text; the access-control tool's arguments ("<user>" for the
user's name); the texts of the message boxes; whether the restart was offered.
"""
import getpass
import json
import os
import re
import shutil
import stat
import sys

FALLBACK_FOLDER = "package Tarnwell"
# The local ports of Wine's spooler.
WINE_PORTS = ("COM1:", "COM2:", "COM3:", "COM4:", "FILE:", "LPT1:", "LPT2:", "LPT3:")
RUN_ONCE_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"
RESTART_VALUE = "RestartSetupLaser"
ACCESS_TOOL_RECORD = "Config_calls.txt"

# The scenario's machine runs the shipped 32-bit program on 64-bit Windows,
# whose printer driver directory is the 32-bit environment's (W32X86). Under
# Wine the x86-64 build runs, and the same call gives the x64 environment's
# folder: the driver files of the scenario go there.
DRIVER_FOLDER_32 = "c:\\windows\\system32\\spool\\drivers\\w32x86\\"
DRIVER_FOLDER_WINE = "C:\\windows\\system32\\spool\\drivers\\x64\\"

# Where Wine differs from Windows (the simulation follows Windows): the
# outcome's parts that are not compared, and why.
WINE_DEVIATIONS = {
    "precompiled INF of a removed package":
        "Wine's SetupUninstallOEMInfW deletes the INF but leaves its .pnf; Windows removes both",
    "name of the installed driver package":
        "Wine's SetupCopyOEMInfW keeps the INF's own name (kelvra.inf) where Windows gives "
        "oemN.inf: only the number of new packages is compared",
    "restart prompt window":
        "Wine's SetupPromptReboot is a stub that shows nothing and returns 0: only that the "
        "restart was offered (the call was made) is compared",
}


def load_json(path):
    with open(path, encoding="utf-8") as source:
        # Scenario files allow // and /* */ comments; ours have none, and
        # json.load refuses them, which names the file.
        return json.load(source)


def write_json(path, data):
    with open(path, "w", encoding="utf-8") as target:
        json.dump(data, target, indent=2, ensure_ascii=False)
        target.write("\n")


def fold(text):
    return text.lower()


def wine_path(path):
    """The place in the prefix of a path of the scenario's machine."""
    if fold(path).startswith(DRIVER_FOLDER_32):
        return DRIVER_FOLDER_WINE + path[len(DRIVER_FOLDER_32):]
    return path


def unix_path(prefix, path):
    """The prefix's file for a C:\\ path, following existing folders whatever
    their letter case (Wine finds files that way too)."""
    if not re.match(r"^[cC]:\\", path):
        raise SystemExit("outcome.py: only paths on C: can be seeded: " + path)
    current = os.path.join(prefix, "drive_c")
    for part in [p for p in path[3:].split("\\") if p]:
        match = None
        if os.path.isdir(current):
            for entry in os.listdir(current):
                if fold(entry) == fold(part):
                    match = entry
                    break
        current = os.path.join(current, match or part)
    return current


# --- plan and place -----------------------------------------------------------

def file_bytes(entry, scenario_dir):
    if "text" in entry:
        return entry["text"].encode("utf-8")
    if "utf16" in entry:
        return b"\xff\xfe" + entry["utf16"].encode("utf-16-le")
    if "size" in entry:
        return bytes(i % 256 for i in range(entry["size"]))
    if "from" in entry:
        with open(os.path.join(scenario_dir, entry["from"]), "rb") as source:
            return source.read()
    return b""


# The sample set's INF, which a scenario's INF package may name ("sample": true).
SAMPLE_INF = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "sample", "kelvra.inf")


def inf_bytes(package):
    if package.get("sample"):
        with open(SAMPLE_INF, "rb") as sample:
            text = sample.read().decode("utf-16")
    else:
        text = package["text"]
    if package.get("encoding", "utf16") == "ansi":
        return text.encode("cp1252")
    return b"\xff\xfe" + text.encode("utf-16-le")


def plan(scenario_path, case_dir):
    scenario = load_json(scenario_path)
    seeded = []
    steps = []
    root = scenario["package"]["root"]
    steps.append(["package", root])
    for relative in scenario["package"].get("lacks", []):
        steps.append(["lacks", relative])
    for entry in scenario.get("files", []):
        if entry.get("folder"):
            continue
        seeded.append({"item": "file " + entry["path"], "kind": "file",
                       "wine": wine_path(entry["path"])})
        if entry.get("inUse"):
            steps.append(["hold", wine_path(entry["path"])])
        for name in ("hidden", "system"):
            if name in entry.get("attributes", []):
                steps.append(["skip", "attribute %s of %s" % (name, entry["path"]),
                              "set from the Linux side only read-only can be given"])
    for package in scenario.get("infFolder", []):
        path = "C:\\Windows\\inf\\" + package["name"]
        seeded.append({"item": "driver package " + package["name"], "kind": "file",
                       "wine": path})
        if package.get("precompiled", True):
            pnf = path[:-4] + ".pnf"
            seeded.append({"item": "precompiled INF " + package["name"][:-4] + ".pnf",
                           "kind": "file", "wine": pnf, "deviation":
                           "precompiled INF of a removed package"})
    spooler = scenario.get("spooler", {})
    drivers = list(spooler.get("drivers", []))
    for queue in spooler.get("queues", []):
        driver = queue.get("driver", "")
        if driver and driver not in drivers:
            drivers.append(driver)
            steps.append(["skip", "driver %s only as the queue's" % driver,
                          "Wine's spooler takes no queue without its driver: it is registered"])
    for driver in drivers:
        steps.append(["driver", driver])
        if driver in spooler.get("drivers", []):
            seeded.append({"item": "printer driver " + driver, "kind": "driver", "wine": driver})
    for queue in spooler.get("queues", []):
        port = queue.get("port", "USB001")
        if port not in WINE_PORTS:
            steps.append(["skip", "port %s of queue %s" % (port, queue["name"]),
                          "Wine has no such port: the queue is put on LPT1:"])
            port = "LPT1:"
        steps.append(["queue", queue["name"], queue.get("driver", ""), port])
        seeded.append({"item": "print queue " + queue["name"], "kind": "queue",
                       "wine": queue["name"]})
        if queue.get("jobs", 0):
            steps.append(["skip", "jobs of queue " + queue["name"],
                          "Wine's spooler keeps no jobs of a queue nothing prints to"])
    for key in scenario.get("registry", []):
        path = re.sub(r"^HKEY_LOCAL_MACHINE\\", "HKLM\\\\", key["key"])
        path = re.sub(r"^HKEY_CURRENT_USER\\", "HKCU\\\\", path)
        seeded.append({"item": "registry key " + path, "kind": "key", "wine": path})
        values = key.get("values", {})
        if not values:
            steps.append(["key", path])
        for name, data in values.items():
            kind = "REG_SZ" if isinstance(data, str) else "REG_DWORD"
            steps.append(["key", path, name, kind, str(data)])
        if key.get("deleteDenied"):
            steps.append(["skip", "deletion denied on " + path,
                          "Wine's registry keeps no access rules"])
    for section, why in (("usb", "Wine has no USB printer of the engraver"),
                         ("faults", "planned faults exist only in the simulation"),
                         ("modules", "Wine's system modules cannot be taken away"),
                         ("systemPrograms", "Wine's own net.exe and xcopy run")):
        if scenario.get(section):
            steps.append(["skip", section, why])
    for name, why in (("heldWhileRunning", "Wine's spooler service holds no files"),
                      ("running", "Wine's spooler starts out stopped; its functions work anyway"),
                      ("ports", "Wine's ports are its own"),
                      ("printerSetup", "Wine's printer set-up entry point does nothing")):
        if name in spooler:
            steps.append(["skip", "spooler " + name, why])
    if "name" in scenario.get("user", {}):
        steps.append(["skip", "user name " + scenario["user"]["name"],
                      "Wine's user is the Linux user; the outcome names neither"])
    if scenario.get("machine", {}).get("windows64") is False:
        steps.append(["skip", "32-bit Windows", "Wine here is 64-bit only"])
    run = scenario.get("run", {})
    if run.get("program", "setup") != "setup":
        raise SystemExit("outcome.py: only scenarios that run setup.exe can run under Wine")
    steps.append(["run", root + "\\setup.exe", run.get("arguments", "")])
    os.makedirs(case_dir, exist_ok=True)
    write_json(os.path.join(case_dir, "seeded.json"), seeded)
    for step in steps:
        print("\t".join(step))


def make_writable(path):
    if os.path.exists(path):
        os.chmod(path, os.stat(path).st_mode | stat.S_IWUSR)


def place(scenario_path, prefix, case_dir):
    scenario = load_json(scenario_path)
    scenario_dir = os.path.dirname(os.path.abspath(scenario_path))
    placed = []
    for entry in scenario.get("files", []):
        target = unix_path(prefix, wine_path(entry["path"]))
        if entry.get("folder"):
            os.makedirs(target, exist_ok=True)
            continue
        os.makedirs(os.path.dirname(target), exist_ok=True)
        make_writable(target)
        with open(target, "wb") as out:
            out.write(file_bytes(entry, scenario_dir))
        if "readonly" in entry.get("attributes", []):
            os.chmod(target, os.stat(target).st_mode & ~0o222)
        placed.append(fold(os.path.realpath(target)))
    for package in scenario.get("infFolder", []):
        target = unix_path(prefix, "C:\\windows\\inf\\" + package["name"])
        make_writable(target)
        with open(target, "wb") as out:
            out.write(inf_bytes(package))
        if package.get("readonly"):
            os.chmod(target, os.stat(target).st_mode & ~0o222)
        if package.get("precompiled", True):
            with open(target[:-4] + ".pnf", "wb") as out:
                out.write(b"PNF placeholder of " + package["name"].encode("ascii"))
    # The spooler copied the files of the drivers it registered into the
    # driver folder: only the scenario's own stay there.
    driver_folder = unix_path(prefix, DRIVER_FOLDER_WINE + "3")
    if os.path.isdir(driver_folder):
        with open(os.path.join(case_dir, "driver_folder_before_spooler.txt"),
                  encoding="utf-8") as listing:
            there_before = {line.strip() for line in listing if line.strip()}
        for name in os.listdir(driver_folder):
            full = os.path.join(driver_folder, name)
            if name not in there_before and fold(os.path.realpath(full)) not in placed:
                os.remove(full)


# --- outcomes -----------------------------------------------------------------

def relative_copy(items, folder):
    """The names under `folder` ("a\\b", folders ending in a backslash)."""
    lead = fold(folder) + "\\"
    out = []
    for kind, path in items:
        if fold(path).startswith(lead):
            out.append(path[len(lead):] + ("\\" if kind == "folder" else ""))
    return sorted(out, key=fold)


def fallback_copy(created, folder):
    """The copy in the fallback folder, from the items a run created ("file
    C:\\...", "folder C:\\..."); None when the folder was not made."""
    items = [tuple(item.split(" ", 1)) for item in created]
    items = [(kind, path) for kind, path in items if kind in ("file", "folder")]
    made = any(kind == "folder" and fold(path) == fold(folder) for kind, path in items)
    copy = relative_copy(items, folder)
    return copy if made or copy else None


def tool_arguments(command_line, user):
    """The access-control tool's arguments, the user's name as <user>."""
    match = re.match(r'^\s*(?:"[^"]*"|\S+)\s*(.*)$', command_line)
    arguments = match.group(1) if match else command_line
    return arguments.replace("n:\\" + user + ";", "n:\\<user>;").strip()


def quoted_entry(folder):
    return '"' + folder + '\\setup.exe"'


def wine_outcome(case_dir, out_path):
    def path(name):
        return os.path.join(case_dir, name)

    def lines(name):
        if not os.path.exists(path(name)):
            return []
        with open(path(name), encoding="utf-8", errors="replace") as source:
            return [line.rstrip("\r\n") for line in source if line.strip()]

    seeded = load_json(path("seeded.json"))
    before = {fold(k): k for k in load_json(path("before.json"))}
    after = {fold(k): k for k in load_json(path("after.json"))}
    spooler_before = set(lines("spooler_before.txt"))
    spooler_after = set(lines("spooler_after.txt"))
    temp = "C:\\users\\%s\\Temp\\" % getpass.getuser()
    user = getpass.getuser()

    def queue_listed(listing, name):
        return any(line.startswith("queue %s driver=" % name) for line in listing)

    outcome = {"seeded": {}}
    for thing in seeded:
        if thing["kind"] in ("file", "key"):
            listed = fold(thing["kind"] + " " + thing["wine"])
            there_before, there_after = listed in before, listed in after
        elif thing["kind"] == "queue":
            there_before = queue_listed(spooler_before, thing["wine"])
            there_after = queue_listed(spooler_after, thing["wine"])
        else:
            there_before = "driver " + thing["wine"] in spooler_before
            there_after = "driver " + thing["wine"] in spooler_after
        outcome["seeded"][thing["item"]] = (
            "never seeded" if not there_before else "stayed" if there_after else "gone")

    created = [after[k] for k in after if k not in before]
    outcome["newPackagesInInfFolder"] = sum(
        1 for item in created if re.fullmatch(r"file C:\\windows\\inf\\[^\\]+\.inf", item, re.I))
    outcome["fallbackCopy"] = fallback_copy(created, temp + FALLBACK_FOLDER)
    run_once = lines("run_once.txt")
    outcome["restartEntry"] = (re.sub(re.escape(temp), lambda _: "<temp>\\", run_once[0],
                                      flags=re.I) if run_once else None)
    outcome["accessToolCalls"] = [tool_arguments(line, user) for line in lines("config_calls.txt")]
    outcome["messageBoxes"] = lines("boxes.txt")
    outcome["restartOffered"] = any("SetupPromptReboot" in line for line in lines("run.log")) or \
        bool(lines("prompt_answered.txt"))
    write_json(out_path, outcome)


def sim_outcome(scenario_path, report_path, out_path):
    scenario = load_json(scenario_path)
    report = load_json(report_path)
    temp = scenario.get("machine", {}).get("tempPath",
                                           "C:\\Users\\operator\\AppData\\Local\\Temp\\")
    user = scenario.get("user", {}).get("name", "operator")
    changes = report["summary"]["changes"]
    deleted = {fold(c["what"]) for c in changes if c["change"] == "deleted"}
    created = [c["what"] for c in changes if c["change"] == "created"]

    outcome = {"seeded": {}}
    # The seeded things, as plan() names them; their names in the report.
    seeded = []
    for entry in scenario.get("files", []):
        if not entry.get("folder"):
            seeded.append(("file " + entry["path"], "file " + entry["path"]))
    for package in scenario.get("infFolder", []):
        path = "C:\\Windows\\inf\\" + package["name"]
        seeded.append(("driver package " + package["name"], "file " + path))
        if package.get("precompiled", True):
            seeded.append(("precompiled INF " + package["name"][:-4] + ".pnf",
                           "file " + path[:-4] + ".pnf"))
    spooler = scenario.get("spooler", {})
    for driver in spooler.get("drivers", []):
        seeded.append(("printer driver " + driver, "printer driver " + driver))
    for queue in spooler.get("queues", []):
        seeded.append(("print queue " + queue["name"], "print queue " + queue["name"]))
    for key in scenario.get("registry", []):
        path = re.sub(r"^HKEY_LOCAL_MACHINE\\", "HKLM\\\\", key["key"])
        path = re.sub(r"^HKEY_CURRENT_USER\\", "HKCU\\\\", path)
        seeded.append(("registry key " + path, "registry key " + path))
    for item, shown in seeded:
        outcome["seeded"][item] = "gone" if fold(shown) in deleted else "stayed"

    outcome["newPackagesInInfFolder"] = sum(
        1 for item in created if re.fullmatch(r"file C:\\Windows\\inf\\[^\\]+\.inf", item, re.I))
    folder = temp + FALLBACK_FOLDER
    outcome["fallbackCopy"] = fallback_copy(created, folder)

    # The machine's change shows the text the value was set to; it is told
    # with the temporary folder written as "<temp>", as the Wine side does.
    entry = None
    pattern = re.compile(r"registry value set %s %s = (.*)$" % (
        re.escape(RUN_ONCE_KEY), RESTART_VALUE), re.I)
    for line in report["timeline"]:
        found = pattern.search(line["text"]) if line["kind"] == "effect" else None
        if found:
            text = found.group(1)
            entry = (quoted_entry("<temp>\\" + FALLBACK_FOLDER)
                     if fold(text) == fold(quoted_entry(folder)) else text)
    outcome["restartEntry"] = entry
    outcome["accessToolCalls"] = [
        tool_arguments(p["commandLine"], user) for p in report["summary"]["processes"]
        if "config.exe" in fold(p["commandLine"])]
    outcome["messageBoxes"] = [box["text"] for box in report["summary"]["messageBoxes"]]
    outcome["restartOffered"] = any(
        line["kind"] == "screen" and line["text"].startswith("restart prompt")
        for line in report["timeline"])
    write_json(out_path, outcome)


# --- checks -------------------------------------------------------------------

def unexpected(case_dir):
    """Changes of the Wine run beyond the outcome's: every line of the prefix's
    diff must belong to a seeded thing that went, the new driver package, the
    fallback copy and its restart entry, or the stand-in access-control tool's
    record of its calls."""
    seeded = load_json(os.path.join(case_dir, "seeded.json"))
    temp = "C:\\users\\%s\\Temp\\" % getpass.getuser()
    allowed = [
        # The package's INF in the driver store (Wine keeps its name), with
        # its precompiled form.
        r"created file C:\\windows\\inf\\[^\\]+\.(inf|pnf)",
        # The fallback copy and its restart entry.
        r"created (file|folder) " + re.escape(temp + FALLBACK_FOLDER) + r"(\\.*)?",
        r"created value " + re.escape(RUN_ONCE_KEY) + r" \[" + RESTART_VALUE + r"\]",
        # The sample package's stand-in access-control tool records its calls
        # beside itself.
        r"created file C:\\[^ ]*\\Systems\\" + re.escape(ACCESS_TOOL_RECORD),
    ]
    for thing in seeded:
        wine = re.escape(thing["wine"])
        if thing["kind"] == "file":
            allowed.append(r"deleted file " + wine)
        elif thing["kind"] == "key":
            allowed.append(r"deleted (key|value) " + wine + r"(\\.*| \[.*\])?")
        elif thing["kind"] == "queue":
            # The spooler's record of the queue, and the entries for old
            # programs (Devices, PrinterPorts).
            allowed.append(r"deleted (key|value) HKLM\\System\\CurrentControlSet\\Control\\Print"
                           r"\\Printers\\" + wine + r"(\\.*| \[.*\])?")
            allowed.append(r"deleted value HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion"
                           r"\\(Devices|PrinterPorts) \[" + wine + r"\]")
        elif thing["kind"] == "driver":
            allowed.append(r"deleted (key|value) HKLM\\System\\CurrentControlSet\\Control\\Print"
                           r"\\Environments\\Windows x64\\Drivers\\Version-3\\" + wine +
                           r"(\\.*| \[.*\])?")
    # A key above a seeded key that held nothing else was made by the seeding
    # to hold it: the device key's removal takes it along.
    before = [fold(item) for item in load_json(os.path.join(case_dir, "before.json"))]
    for thing in seeded:
        if thing["kind"] != "key":
            continue
        key = fold(thing["wine"])
        chain = key
        while "\\" in chain.rsplit("\\", 1)[0]:
            parent = chain.rsplit("\\", 1)[0]
            inside = [i for i in before if i.split(" ", 1)[1].startswith(parent + "\\") or
                      i.split(" ", 1)[1].startswith(parent + " [")]
            if any(not (i.split(" ", 1)[1].startswith(key) or key.startswith(i.split(" ", 1)[1]))
                   for i in inside):
                break
            allowed.append(r"deleted key " + re.escape(parent))
            chain = parent
    patterns = [re.compile(p, re.I) for p in allowed]
    with open(os.path.join(case_dir, "diff.txt"), encoding="utf-8") as diff:
        for line in diff:
            line = line.rstrip("\n")
            if line and not any(p.fullmatch(line) for p in patterns):
                print(line)


def compare(wine_path_, sim_path):
    wine = load_json(wine_path_)
    sim = load_json(sim_path)
    differences = 0

    def report(field, same, wine_value, sim_value):
        nonlocal differences
        if same:
            print("same     %s: %s" % (field, json.dumps(wine_value, ensure_ascii=False)))
        else:
            differences += 1
            print("DIFFERS  %s: Wine %s, simulation %s" % (
                field, json.dumps(wine_value, ensure_ascii=False),
                json.dumps(sim_value, ensure_ascii=False)))

    for item in sorted(set(wine["seeded"]) | set(sim["seeded"]), key=fold):
        if item.startswith("precompiled INF "):
            print("skipped  %s (%s)" % (item, WINE_DEVIATIONS["precompiled INF of a removed package"]))
            continue
        w = wine["seeded"].get(item, "not in the Wine run")
        s = sim["seeded"].get(item, "not in the simulation")
        report(item, w == s, w, s)
    print("note     name of the installed driver package: %s" %
          WINE_DEVIATIONS["name of the installed driver package"])
    report("new driver packages in the INF folder",
           wine["newPackagesInInfFolder"] == sim["newPackagesInInfFolder"],
           wine["newPackagesInInfFolder"], sim["newPackagesInInfFolder"])
    same_copy = (wine["fallbackCopy"] is None) == (sim["fallbackCopy"] is None) and \
        [fold(p) for p in wine["fallbackCopy"] or []] == [fold(p) for p in sim["fallbackCopy"] or []]
    report("package copied to <temp>\\" + FALLBACK_FOLDER, same_copy, wine["fallbackCopy"],
           sim["fallbackCopy"])
    report("restart entry", wine["restartEntry"] == sim["restartEntry"], wine["restartEntry"],
           sim["restartEntry"])
    report("access-control tool calls", [fold(c) for c in wine["accessToolCalls"]] ==
           [fold(c) for c in sim["accessToolCalls"]], wine["accessToolCalls"],
           sim["accessToolCalls"])
    report("message boxes", wine["messageBoxes"] == sim["messageBoxes"], wine["messageBoxes"],
           sim["messageBoxes"])
    print("note     restart prompt window: %s" % WINE_DEVIATIONS["restart prompt window"])
    report("restart offered", wine["restartOffered"] == sim["restartOffered"],
           wine["restartOffered"], sim["restartOffered"])
    return 1 if differences else 0


def flat(outcome_path):
    """Every field as "FIELD<tab>VALUE", a seeded thing as "seeded<tab>ITEM<tab>VALUE";
    texts as they are, other values as JSON."""
    def shown(value):
        return value if isinstance(value, str) else json.dumps(value, ensure_ascii=False)

    for field, value in load_json(outcome_path).items():
        if field == "seeded":
            for item, state in value.items():
                print("seeded\t%s\t%s" % (item, state))
        else:
            print("%s\t%s" % (field, shown(value)))


def listing(folder):
    items = []
    for current, folders, files in os.walk(folder):
        relative = os.path.relpath(current, folder)
        for kind, names in (("folder", folders), ("file", files)):
            for name in names:
                path = name if relative == "." else os.path.join(relative, name)
                items.append((kind, "X\\" + path.replace("/", "\\")))
    print(json.dumps(relative_copy(items, "X"), ensure_ascii=False))


def main(argv):
    command = argv[1] if len(argv) > 1 else ""
    arguments = argv[2:]
    commands = {
        "plan": (plan, 2), "place": (place, 3), "wine": (wine_outcome, 2),
        "sim": (sim_outcome, 3), "unexpected": (unexpected, 1), "compare": (compare, 2),
        "flat": (flat, 1), "listing": (listing, 1),
    }
    if command not in commands:
        print(__doc__, file=sys.stderr)
        return 2
    function, count = commands[command]
    if count is not None and len(arguments) != count:
        print(__doc__, file=sys.stderr)
        return 2
    return function(*arguments) or 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
