#!/usr/bin/env python3
"""The deb-src entries the page's build makes from a machine's apt sources,
read back by apt itself: for every deb entry of the machine's, a deb-src
entry for the same mirror, suites and components, its options kept."""

import os
import pathlib
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "page" / "core"))
import debian_sources  # noqa: E402

KEY = """Signed-By:
 -----BEGIN PGP PUBLIC KEY BLOCK-----
 .
 mDMEZQ1lGRYJKwYBBAHaRw8BAQdAkOoYbSk3Z2ZpY2Uga2V5IGZvciB0ZXN0cyBvbmx5
 -----END PGP PUBLIC KEY BLOCK-----"""

# Each machine: its sources files, and the deb-src entries expected from them.
MACHINES = {
    "one-line, several suites and components, options and comments": {
        "sources.list": """# deb http://apt.example/old buster main
deb http://apt.example/debian bookworm main contrib non-free-firmware
deb  http://apt.example/debian   bookworm-updates main   # a comment
deb [ arch=amd64  signed-by=/usr/share/keyrings/office.gpg ] http://apt.example/security bookworm-security main
deb-src http://apt.example/debian bookworm main contrib non-free-firmware
deb cdrom:[Debian GNU/Linux 12.0.0]/ bookworm main
""",
        "one-line": [
            "deb-src http://apt.example/debian bookworm main contrib non-free-firmware",
            "deb-src http://apt.example/debian bookworm-updates main",
            "deb-src [arch=amd64 signed-by=/usr/share/keyrings/office.gpg] http://apt.example/security "
            "bookworm-security main"],
        "deb822": []},
    "deb822, several suites, a key inline, one stanza off, files apt ignores": {
        "sources.list": "",
        "sources.list.d/debian.sources": f"""# the office mirror
Types: deb deb-src
URIs: http://apt.example/debian
Suites: bookworm bookworm-updates
Components: main contrib
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: file:/srv/mirror/security
Suites: bookworm-security
Components: main
{KEY}

Types: deb
URIs: http://apt.example/backports
Suites: bookworm-backports
Components: main
Enabled: no
""",
        "sources.list.d/local.list": "deb http://apt.example/local bookworm main\n",
        "sources.list.d/old.list.disabled": "deb http://apt.example/old buster main\n",
        "sources.list.d/other.sources.save": "Types: deb\nURIs: http://apt.example/old\nSuites: buster\n",
        "one-line": ["deb-src http://apt.example/local bookworm main"],
        "deb822": [
            """Types: deb-src
URIs: http://apt.example/debian
Suites: bookworm bookworm-updates
Components: main contrib
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg""",
            f"""Types: deb-src
URIs: file:/srv/mirror/security
Suites: bookworm-security
Components: main
{KEY}"""]},
}


def apt_targets(config, kind):
    """(mirror, suite, component) of every entry of one kind, as apt reads a
    configuration."""
    said = subprocess.run(["apt-get", "indextargets", "--no-release-info", *config,
                           "--format", "$(TARGET_OF) $(REPO_URI) $(RELEASE) $(COMPONENT)"],
                          capture_output=True, text=True, check=True).stdout
    return {tuple(line.split()[1:]) for line in said.splitlines() if line.split()[:1] == [kind]}


class DebSrcFromMachineSources(unittest.TestCase):
    def test_machines(self):
        for name, machine in MACHINES.items():
            with self.subTest(name), tempfile.TemporaryDirectory() as folder:
                root = pathlib.Path(folder)
                (root / "etc/sources.list.d").mkdir(parents=True)
                for path, text in machine.items():
                    if path not in ("one-line", "deb822"):
                        (root / "etc" / path).write_text(text)
                # Where the machine keeps its sources, as apt-config tells.
                (root / "apt.conf").write_text(f'Dir::Etc::sourcelist "{root}/etc/sources.list";\n'
                                               f'Dir::Etc::sourceparts "{root}/etc/sources.list.d";\n')
                os.environ["APT_CONFIG"] = str(root / "apt.conf")
                try:
                    apt = debian_sources.PrivateApt(root / "build")
                finally:
                    del os.environ["APT_CONFIG"]
                made = apt.root / "sources.list"
                self.assertEqual(made.read_text().splitlines(), machine["one-line"])
                stanzas = (apt.root / "sources.list.d/machine.sources").read_text().strip()
                self.assertEqual(stanzas.split("\n\n") if stanzas else [], machine["deb822"])
                machine_config = ["-o", f"Dir::Etc::sourcelist={root}/etc/sources.list",
                                  "-o", f"Dir::Etc::sourceparts={root}/etc/sources.list.d"]
                wanted = apt_targets(machine_config, "deb") | apt_targets(machine_config, "deb-src")
                wanted = {target for target in wanted if not target[0].startswith("cdrom:")}
                self.assertTrue(wanted)
                self.assertEqual(apt_targets(apt.options, "deb-src"), wanted)
                self.assertEqual(apt_targets(apt.options, "deb"), set())

    def test_no_entry_says_what_to_add(self):
        with tempfile.TemporaryDirectory() as folder:
            root = pathlib.Path(folder)
            (root / "apt.conf").write_text(f'Dir::Etc::sourcelist "{root}/none.list";\n'
                                           f'Dir::Etc::sourceparts "{root}/none.d";\n')
            os.environ["APT_CONFIG"] = str(root / "apt.conf")
            try:
                with self.assertRaisesRegex(debian_sources.Failure, "no deb-src entry could be made.*add a deb"):
                    debian_sources.PrivateApt(root / "build")
            finally:
                del os.environ["APT_CONFIG"]


if __name__ == "__main__":
    unittest.main()
