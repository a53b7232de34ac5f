#!/usr/bin/env python3
"""The filled winget manifest against what the built installer really does.

Runs inside a fresh Wine prefix (scripts/fresh-prefix-run.sh): it installs with the
manifest's own switches, as winget would put them together, and reads the uninstall
entry back from the registry.

    check_winget_manifest.py --manifest DIR --installer EXE --runner EXE --shipped EXE
                             --readme README.md
"""
import argparse
import hashlib
import os
import re
import shutil
import subprocess
import sys
import unittest
from pathlib import Path, PureWindowsPath

import yaml

IDENTIFIER = "Haldenmark.Tessamo"
UNINSTALL_KEY = r"HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelbrin"
# The responses a manifest may map an installer's exit code to.
RETURN_RESPONSES = {
    "packageInUse", "packageInUseByApplication", "installInProgress", "fileInUse", "missingDependency",
    "diskFull", "insufficientMemory", "invalidParameter", "noNetwork", "contactSupport",
    "rebootRequiredToFinish", "rebootRequiredForInstall", "rebootInitiated", "cancelledByUser",
    "alreadyInstalled", "downgrade", "blockedByPolicy", "systemNotSupported", "custom",
}
ARGS = None


def host_path(windows_path: str) -> Path:
    """Where a path on the prefix's drive C: lies on this machine."""
    path = PureWindowsPath(windows_path)
    assert path.drive.upper() == "C:", windows_path
    return Path(os.environ["WINEPREFIX"], "drive_c", *path.parts[1:])


def run_command_line(command_line: str) -> int:
    """Starts the Windows command line exactly as written and returns its exit code."""
    line_file = host_path(r"C:\dl\command-line.txt")
    line_file.write_text(command_line, encoding="utf-8")
    return subprocess.run(["wine", r"C:\dl\RunCommandLine.exe", r"C:\dl\command-line.txt"],
                          cwd=host_path(r"C:\dl"), stdin=subprocess.DEVNULL, timeout=300).returncode


def installer_command(switches: list) -> str:
    return r'"C:\dl\TessamoSetup.exe" ' + " ".join(switches)


def read_uninstall_entry() -> dict:
    """The values of the uninstall entry, as `reg export` writes them."""
    exported = host_path(r"C:\dl\entry.reg")
    exported.unlink(missing_ok=True)
    subprocess.run(["wine", "reg", "export", UNINSTALL_KEY, r"C:\dl\entry.reg", "/y"],
                   cwd=host_path(r"C:\dl"), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, check=True,
                   timeout=120)
    values = {}
    for line in exported.read_bytes().decode("utf-16").splitlines():
        text = re.fullmatch(r'"([^"]+)"="((?:[^"\\]|\\.)*)"', line)
        number = re.fullmatch(r'"([^"]+)"=dword:([0-9a-fA-F]{8})', line)
        if text:
            values[text.group(1)] = re.sub(r"\\(.)", r"\1", text.group(2))
        elif number:
            values[number.group(1)] = int(number.group(2), 16)
    return values


def readme_exit_codes() -> dict:
    """The README's table of the installer's exit codes: code -> winget's response."""
    codes = {}
    for line in ARGS.readme.read_text(encoding="utf-8").splitlines():
        row = re.fullmatch(r"\| (\d+) \| .+ \| (.+) \|", line)
        if row:
            codes[int(row.group(1))] = row.group(2).strip("` ")
    return codes


class Manifest:
    def __init__(self, folder: Path):
        def load(name):
            return yaml.safe_load((folder / name).read_text(encoding="utf-8"))
        self.version = load(f"{IDENTIFIER}.yaml")
        self.locale = load(f"{IDENTIFIER}.locale.zh-CN.yaml")
        self.installer = load(f"{IDENTIFIER}.installer.yaml")

    def switch(self, name: str, **placeholders) -> str:
        text = self.installer["InstallerSwitches"][name]
        for placeholder, value in placeholders.items():
            text = text.replace(f"<{placeholder}>", value)
        return text

    def response_to(self, code: int) -> str:
        for expected in self.installer["ExpectedReturnCodes"]:
            if expected["InstallerReturnCode"] == code:
                return expected["ReturnResponse"]
        return "success" if code in self.installer.get("InstallerSuccessCodes", []) else "none"


class WingetManifest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.manifest = Manifest(ARGS.manifest)
        download = host_path(r"C:\dl")
        download.mkdir(parents=True, exist_ok=True)
        shutil.copy(ARGS.installer, download / "TessamoSetup.exe")
        shutil.copy(ARGS.runner, download / "RunCommandLine.exe")

    def test_the_three_files_describe_one_package_with_the_shipped_installers_hash(self):
        files = [self.manifest.version, self.manifest.locale, self.manifest.installer]
        self.assertEqual([f["ManifestType"] for f in files], ["version", "defaultLocale", "installer"])
        for manifest in files:
            self.assertEqual(manifest["PackageIdentifier"], IDENTIFIER)
            self.assertEqual(manifest["PackageVersion"], self.manifest.version["PackageVersion"])
        self.assertRegex(self.manifest.version["PackageVersion"], r"^\d+\.\d+\.\d+\.\d+$")
        installer = self.manifest.installer
        self.assertEqual((installer["InstallerType"], installer["Scope"], installer["UpgradeBehavior"]),
                         ("exe", "user", "install"))
        [shipped] = installer["Installers"]
        self.assertEqual(shipped["InstallerSha256"], hashlib.sha256(ARGS.shipped.read_bytes()).hexdigest().upper())

    def test_silent_install_with_location_and_log_matches_the_apps_and_features_entry(self):
        folder = r"C:\Deployed Apps\Tessamo"
        log = r"C:\winget logs\install.log"
        host_path(log).parent.mkdir(parents=True, exist_ok=True)
        exit_code = run_command_line(installer_command([
            self.manifest.switch("Silent"), self.manifest.switch("Log", LOGPATH=log),
            self.manifest.switch("InstallLocation", INSTALLPATH=folder)]))
        self.assertEqual(exit_code, 0)
        self.assertIn("Mode: quiet", host_path(log).read_text(encoding="utf-8-sig"))
        self.assertTrue(host_path(folder + r"\Pinvora.exe").is_file())

        entry = read_uninstall_entry()
        [apps_and_features] = self.manifest.installer["AppsAndFeaturesEntries"]
        self.assertEqual(apps_and_features["ProductCode"], UNINSTALL_KEY.rsplit("\\", 1)[1])
        for name in ("DisplayName", "Publisher", "DisplayVersion"):
            self.assertEqual(apps_and_features[name], entry.get(name), name)
        self.assertEqual(entry.get("InstallLocation"), folder + "\\")
        self.assertEqual(entry.get("QuietUninstallString"), f'"{folder}\\卸载Tessamo.exe" /quiet')

    def test_silent_install_with_progress_is_accepted_and_asks_nothing(self):
        log = r"C:\winget logs\passive.log"
        host_path(log).parent.mkdir(parents=True, exist_ok=True)
        exit_code = run_command_line(installer_command([
            self.manifest.switch("SilentWithProgress"), self.manifest.switch("Log", LOGPATH=log),
            self.manifest.switch("InstallLocation", INSTALLPATH=r"C:\Passive\Tessamo")]))
        self.assertEqual(exit_code, 0)
        self.assertIn("Mode: passive", host_path(log).read_text(encoding="utf-8-sig"))
        self.assertTrue(host_path(r"C:\Passive\Tessamo\Pinvora.exe").is_file())

    def test_an_unusable_location_returns_the_code_mapped_to_invalid_parameter(self):
        exit_code = run_command_line(installer_command([
            self.manifest.switch("Silent"), self.manifest.switch("InstallLocation", INSTALLPATH="Apps")]))
        self.assertEqual(self.manifest.response_to(exit_code), "invalidParameter")

    def test_every_mapped_exit_code_is_one_the_readme_documents_with_the_same_response(self):
        documented = readme_exit_codes()
        mapped = {e["InstallerReturnCode"]: e["ReturnResponse"] for e in self.manifest.installer["ExpectedReturnCodes"]}
        for code, response in mapped.items():
            self.assertIn(response, RETURN_RESPONSES)
            self.assertEqual(documented.get(code), response, f"exit code {code}")
        for code in self.manifest.installer.get("InstallerSuccessCodes", []):
            self.assertEqual(documented.get(code), "success", f"exit code {code}")
        self.assertEqual(documented.get(0), "success")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    for name in ("manifest", "installer", "runner", "shipped", "readme"):
        parser.add_argument(f"--{name}", type=Path, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
