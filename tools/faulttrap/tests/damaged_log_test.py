"""faulttrap log and faulttrap xml on the log of real failures, intact and damaged.

The crash test program writes three reports while a process with the nastiest name a file can
have runs: a handled exception, one thrown in an "operator|" and an access violation. The intact log goes through `faulttrap log`
unchanged and its XML holds every item with the value `faulttrap log --item` reads; each damaged
copy loads its intact reports, and the damaged one is named on standard error with exit code 1.

Usage: damaged_log_test.py FAULTTRAP CRASHERS WORK_FOLDER
"""
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

faulttrap, crashers, folder = sys.argv[1:4]
shutil.rmtree(folder, ignore_errors=True)
os.makedirs(folder)
log = os.path.join(folder, "crash.ftlog")

# Any local user can start a program of this name: a bar, line breaks, empty lines and what
# looks like the first line of a report.
hostile = os.path.join(folder.encode(), b"evil|name\r\n|x\r\n\r\n\r\n\r\nFaultTrap 6.0.6\r\n\r\n\x90")
shutil.copy("/bin/sleep", hostile)
sleeper = subprocess.Popen([hostile, "60"])
try:
    for arguments in (["handled"], ["operator-bar"], ["null-write"]):
        subprocess.run([crashers, *arguments, "--log", log, "--dialog", "0"], check=False,
                       capture_output=True, timeout=60)
finally:
    sleeper.kill()
    sleeper.wait()

with open(log, "rb") as f:
    original = f.read()


def run(*arguments):
    return subprocess.run([faulttrap, *arguments], capture_output=True, timeout=60)


def items_of(path, count):
    """Every item of every report as `faulttrap log --item` prints it."""
    ids = [f"{s}.{i}" for s, n in ((1, 6), (2, 10), (3, 5), (4, 4), (5, 11), (6, 5), (7, 6))
           for i in range(1, n + 1)]
    arguments = ["log", path]
    for item in ids:
        arguments += ["--item", item]
    out = run(*arguments).stdout.decode("cp1252", errors="replace")
    values = {}
    for match in re.finditer(r"^\[(\d+)\] (\d+\.\d+): (.*?)(?=^\[\d+\] |\Z)", out, re.M | re.S):
        value = match.group(3)[:-1]  # the line break after the value
        if value != "(not in the report)":
            values[(int(match.group(1)), match.group(2))] = value
    assert len({r for r, _ in values}) == count, (count, out[:2000])
    return values


def check_xml(path, count):
    """The XML passes xmllint; its items are those `faulttrap log` reads, with their values."""
    xml = run("xml", path)
    assert xml.stdout.startswith(b"<Doc>"), xml
    lint = subprocess.run(["xmllint", "--noout", "-"], input=xml.stdout, capture_output=True)
    assert lint.returncode == 0, lint.stderr
    logs = ET.fromstring(xml.stdout).findall("Log")
    assert len(logs) == count, (len(logs), count)
    expected = items_of(path, count)
    found = {}
    for number, element in enumerate(logs, 1):
        for line in element.iterfind("General/Group/Line"):
            found[(number, line.get("ID"))] = line.get("Value").replace("\r\n", "\n    ")
    assert found == expected, [(k, found.get(k), expected.get(k))
                               for k in set(found) | set(expected) if found.get(k) != expected.get(k)]
    return xml, logs


# The intact log: written back unchanged, and read back it holds its three reports.
assert original.count(b"\r\nCall Stack Information:") == 3, original[:3000]
printed = run("log", log)
assert printed.returncode == 0 and printed.stderr == b"", printed.stderr
assert printed.stdout == original, "faulttrap log does not write the log as it is"
copy = os.path.join(folder, "copy.ftlog")
with open(copy, "wb") as f:
    f.write(printed.stdout)
assert len(items_of(copy, 3)) > 0

xml, logs = check_xml(log, 3)
assert xml.returncode == 0 and xml.stderr == b"", xml.stderr
for element in logs:
    processes = element.findall("Processes/Process")
    evil = [p for p in processes if p.get("Name", "").startswith("evil")]
    assert len(evil) == 1, [p.get("Name") for p in processes]
    assert evil[0].get("Name") == "evil\u00a6name  \u00a6x        FaultTrap 6.0.6    ?", evil[0].get("Name")
    assert processes.index(evil[0]) + 1 < len(processes), "the processes after it are lost"
    assert all(p.get("ID", "").isdigit() for p in processes), [p.get("ID") for p in processes]
    assert len(element.findall("Assembler/Line")) > 0
# The fault's report has its registers and its dump behind the processes.
assert len(logs[2].find("CPU/Registers").attrib) >= 8, logs[2].find("CPU/Registers").attrib
assert len(logs[2].findall("CPU/MemoryDump/Line")) == 16
procedures = [line for line in logs[1].iterfind("CallStack//Line")
              if line.get("Procedure", "").startswith("operator")]
assert procedures, "no operator frame"
assert procedures[0].get("Procedure").startswith("operator\u00a6"), procedures[0].attrib
assert procedures[0].get("Number").isdigit() and procedures[0].get("Offset").isdigit(), \
    procedures[0].attrib

# Seven damages of the log; each names the damaged report and keeps the intact ones.
gap = b"\r\n\r\n\r\n\r\n"
reports = [r + b"\r\n\r\n\r\n" for r in original.rstrip(b"\r\n").split(gap)]
assert len(reports) == 3
first, second, third = reports


def cut(report, marker, before=0):
    at = report.index(marker)
    return report[:at - before]


def cut_in_last_row(report, marker):
    """Cut in the middle of the last table row before `marker`."""
    row = report.rindex(b"\r\n|", 0, report.index(marker))
    return report[:row + 20]


def insert(report, marker, what):
    at = report.index(marker) + len(marker)
    return report[:at] + what + report[at:]


damages = [
    ("truncated in its general part", first + b"\r\n" + second + b"\r\n" +
     cut(third, b"  2.6 "), 3, "cut short before its call-stack table; left out", 2),
    ("a middle report cut short", first + b"\r\n" + cut(second, b"Processes Information:", 40) +
     third, 2, "runs into the next report", 3),
    ("truncated in its processes table", first + b"\r\n" + second + b"\r\n" +
     cut_in_last_row(third, b"Assembler Information:") + b"\r\n", 3,
     "cut short in its table \"Processes Information:\"", 3),
    ("truncated in its memory dump", first + b"\r\n" + second + b"\r\n" + third[:-200], 3,
     "cut short in its memory dump", 3),
    ("a lone CR", first + b"\r\n" + insert(second, b"  2.6 Message", b"\r") + b"\r\n" + third,
     2, "a lone CR breaks line", 3),
    ("a NUL byte", insert(first, b"  2.5 Type", b"\x00") + b"\r\n" + second + b"\r\n" + third,
     1, "holds a NUL byte in line", 3),
    ("an invalid byte", first + b"\r\n" + second + b"\r\n" + insert(third, b"  2.6 Message", b"\x81"),
     3, "holds the byte 0x81, which Windows-1252 does not define", 3),
]
for name, text, report, reason, loaded in damages:
    damaged = os.path.join(folder, "damaged.ftlog")
    with open(damaged, "wb") as f:
        f.write(text)
    for command in (["log", damaged], ["xml", damaged]):
        result = run(*command)
        assert result.returncode == 1, (name, command, result.returncode, result.stderr)
        errors = result.stderr.decode("cp1252", errors="replace")
        assert re.search(rf"damaged\.ftlog: report {report} \(line \d+\): .*{re.escape(reason)}",
                         errors), (name, errors)
        assert errors.count("\n") == 1, (name, errors)
    check_xml(damaged, loaded)

missing = run("log", os.path.join(folder, "none.ftlog"))
assert missing.returncode == 2, missing
print("faulttrap log and xml on damaged logs: ok")
