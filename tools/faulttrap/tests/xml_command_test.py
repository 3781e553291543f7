"""faulttrap xml on a log of several reports: the document parses as XML and holds every report.

Usage: xml_command_test.py FAULTTRAP FIXED_REPORT WORK_FOLDER
"""
import os
import subprocess
import sys
import xml.etree.ElementTree as ET

faulttrap, fixed_report, folder = sys.argv[1:4]
os.makedirs(folder, exist_ok=True)

with open(fixed_report, "rb") as f:
    report = f.read().replace(b"\n", b"\r\n")
# A second report whose message holds characters that XML must escape, and a third one
# that names an enciphered unit which no password opens.
second = report.replace(b"2.6 Message       : Cannot open.",
                        b"2.6 Message       : <tag> & \"quotes\" \xe9 \x80 \x85")
third = report.replace(b"|0000000000402000|cadastro |worker.cpp|Worker|Run              |15[1] |",
                       b"|0000000000402000|cadastro |?pQUJD    |      |?QUJD             |15[1] |")
log = os.path.join(folder, "several.ftlog")
with open(log, "wb") as f:
    f.write(b"\r\n\r\n\r\n".join([report, second, third]) + b"\r\n\r\n\r\n")

def run(*arguments):
    return subprocess.run([faulttrap, "xml", log, *arguments], capture_output=True, check=True)

document = run().stdout
root = ET.fromstring(document)
assert root.tag == "Doc", root.tag
logs = root.findall("Log")
assert len(logs) == 3, len(logs)
messages = [log.find("General/Group[2]/Line[6]").get("Value") for log in logs]
assert messages[0] == "Cannot open.", messages
# Windows-1252's characters, not Latin-1's control codes: the euro sign and the ellipsis.
assert messages[1] == "<tag> & \"quotes\" \u00e9 \u20ac \u2026", messages
assert b"&#8364;" in document and b"&#128;" not in document
privileges = logs[0].find("General/Group[3]/Line[5]").get("Value")
assert privileges.splitlines() == ["CAP_CHOWN                       - ON",
                                   "CAP_KILL                        - OFF"], privileges
unit = logs[2].find("CallStack/RunningThread/Line").get("Unit")
assert unit == "?pQUJD", unit
assert b"\r\n" in document and b"\n" not in document.replace(b"\r\n", b"")

# With a wrong password the names stay as stored; --output writes the same document.
out = os.path.join(folder, "several.xml")
run("--password", "wrong", "--output", out)
with open(out, "rb") as f:
    assert f.read() == document

missing = subprocess.run([faulttrap, "xml", os.path.join(folder, "none.ftlog")],
                         capture_output=True)
assert missing.returncode == 1 and b"faulttrap:" in missing.stderr, missing
print("faulttrap xml: ok")
