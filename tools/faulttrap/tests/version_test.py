"""The version that `faulttrap embed` stores reaches the report of a real failure (items 1.3 and
2.4), and with NewLogOnVersionChange a new version starts a new log file.

Usage: version_test.py FAULTTRAP PROGRAM OPTIONS_INI WORK_FOLDER
"""
import os
import shutil
import subprocess
import sys

faulttrap, built_program, options, folder = sys.argv[1:5]
shutil.rmtree(folder, ignore_errors=True)
os.makedirs(folder)
program = os.path.join(folder, "versioned_program")
shutil.copy(built_program, program)
logs = os.path.join(folder, "logs")
os.makedirs(logs)


def embed(version):
    subprocess.run([faulttrap, "embed", program, "--options", options,
                    "--program-version", version], check=True)


def fail_once():
    run = subprocess.run([program, logs], capture_output=True, text=True, timeout=60)
    assert run.returncode == 0, (run.returncode, run.stderr)
    return run.stdout.strip()


def items(log, item):
    run = subprocess.run([faulttrap, "log", log, "--item", item], capture_output=True, text=True,
                         check=True)
    return [line.split(": ", 1)[1] if ": " in line else "" for line in run.stdout.splitlines()]


embed("1.0.0")
log = fail_once()
assert os.path.dirname(log) == logs, log
fail_once()
assert items(log, "1.3") == ["1.0.0.0", "1.0.0.0"], items(log, "1.3")
assert items(log, "2.4") == ["1.0.0.0", "1.0.0.0"], items(log, "2.4")

first_log_inode = os.stat(log).st_ino
embed("1.1")
assert fail_once() == log
assert items(log, "1.3") == ["1.1.0.0"], items(log, "1.3")
assert items(log, "2.4") == ["1.1.0.0"], items(log, "2.4")

# The same version again: the log goes on.
fail_once()
assert items(log, "1.3") == ["1.1.0.0", "1.1.0.0"], items(log, "1.3")

# What the program carries, as `faulttrap show` prints it.
shown = subprocess.run([faulttrap, "show", program], capture_output=True, text=True,
                       check=True).stdout
assert shown.startswith("Version: 1.1.0.0\nOptions:\n[Options]\n"), shown[:200]
assert "\nReportOptions=NewLogOnVersionChange,CollectModulesAndProcesses\n" in shown
assert "\nExceptionDialogType=None\n" in shown

# A version that is no version is refused as a bad argument.
bad = subprocess.run([faulttrap, "embed", program, "--program-version", "1.x"],
                     capture_output=True, text=True)
assert bad.returncode == 2 and "usage:" in bad.stderr, (bad.returncode, bad.stderr)
print("ok")
