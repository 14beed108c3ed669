#!/usr/bin/env python3
"""Debian's source packages of the C libraries the page is built from.

    debian_sources.py DEST SOURCE=BINARY ...

Unpacks each SOURCE into DEST/SOURCE at the source version of the installed
BINARY, so the page writes with the very library the program links. They are
fetched the way apt fetches anything, through the machine's own mirrors,
proxies and signed indexes: a private apt configuration in DEST/apt holds a
deb-src entry for every deb entry of the machine's, and apt checks every file
against the archive's signed Release chain, so no TLS, no root and no change
to /etc/apt is needed. Where the mirrors no longer serve the installed version
(a point release or a security update replaced it), the newest version they
do serve is taken, and the build says so. Done once: a later build, online or
not, uses what was unpacked.
"""

import functools
import os
import pathlib
import re
import shutil
import subprocess
import sys

# apt reads only files so named in its sources folder.
SOURCE_FILE_NAME = re.compile(r"^[A-Za-z0-9_.\-]+\.(list|sources)$")


class Failure(Exception):
    pass


def one_line_deb_src(text):
    """The deb-src lines for the entries of a one-line sources.list text."""
    entries = []
    for line in text.splitlines():
        words = line.split("#", 1)[0].split()
        if not words or words[0] not in ("deb", "deb-src"):
            continue
        rest, options = " ".join(words[1:]), ""
        if rest.startswith("["):
            inside, bracket, rest = rest[1:].partition("]")
            if not bracket:
                continue
            options, rest = "[" + " ".join(inside.split()) + "] ", rest.strip()
        # A disc in the drive is no place to fetch from during a build.
        if rest and not rest.startswith("cdrom:"):
            entries.append("deb-src " + options + rest)
    return entries


def deb822_deb_src(text):
    """The deb-src stanzas for the enabled stanzas of a deb822 .sources text,
    every other field kept as written (a Signed-By may hold a key over many
    lines)."""
    stanzas, fields = [], []

    def close():
        if fields:
            stanzas.append(list(fields))
            fields.clear()

    for line in text.splitlines():
        if line.startswith("#"):
            continue
        if not line.strip():
            close()
        elif line[0] in " \t" and fields:
            fields[-1][1].append(line)
        else:
            name, _, value = line.partition(":")
            fields.append((name.strip(), [value.strip()]))
    close()

    entries = []
    for stanza in stanzas:
        values = {name.lower(): lines for name, lines in stanza}
        types = " ".join(values.get("types", [])).split()
        enabled = " ".join(values.get("enabled", ["yes"])).strip().lower()
        uris = " ".join(values.get("uris", [])).split()
        if enabled == "no" or not {"deb", "deb-src"} & set(types):
            continue
        uris = [uri for uri in uris if not uri.startswith("cdrom:")]
        if not uris:
            continue
        lines = ["Types: deb-src"]
        for name, value in stanza:
            if name.lower() == "uris":
                lines.append("URIs: " + " ".join(uris))
            elif name.lower() != "types":
                lines.append(f"{name}: {value[0]}".rstrip())
                lines.extend(value[1:])
        entries.append("\n".join(lines))
    return entries


def read_sources(main_list, parts_dir):
    """The machine's deb-src entries, one-line and deb822 apart, each once,
    and the files they came from."""
    files = [pathlib.Path(main_list)]
    if os.path.isdir(parts_dir):
        files += sorted(path for path in pathlib.Path(parts_dir).iterdir() if SOURCE_FILE_NAME.match(path.name))
    one_line, deb822, read = [], [], []
    for path in files:
        try:
            text = path.read_text(encoding="utf-8", errors="replace")
        except OSError:
            continue
        read.append(str(path))
        made = deb822_deb_src(text) if path.suffix == ".sources" else one_line_deb_src(text)
        target = deb822 if path.suffix == ".sources" else one_line
        target.extend(entry for entry in made if entry not in target)
    return one_line, deb822, read


def apt_config_path(name, default):
    said = subprocess.run(["apt-config", "shell", "VALUE", name], capture_output=True, text=True).stdout
    match = re.match(r"VALUE='(.*)'", said.strip())
    return match.group(1) if match else default


class PrivateApt:
    """apt with the machine's configuration (mirrors, proxies, keys) but
    sources, lists and caches of its own in DEST/apt."""

    def __init__(self, dest):
        self.root = dest / "apt"
        main_list = apt_config_path("Dir::Etc::sourcelist/f", "/etc/apt/sources.list")
        parts_dir = apt_config_path("Dir::Etc::sourceparts/d", "/etc/apt/sources.list.d")
        one_line, deb822, read = read_sources(main_list, parts_dir)
        if not one_line and not deb822:
            raise Failure(
                "no deb-src entry could be made from your apt sources (read: "
                + (", ".join(read) or "none") + "): add a deb or deb-src line for Debian 12 (bookworm) to "
                + main_list + ", or a .sources file to " + parts_dir + ", as for apt-get install")
        for folder in ("sources.list.d", "lists/partial", "cache/archives/partial"):
            (self.root / folder).mkdir(parents=True, exist_ok=True)
        (self.root / "sources.list").write_text("".join(entry + "\n" for entry in one_line))
        (self.root / "sources.list.d" / "machine.sources").write_text("\n\n".join(deb822) + "\n" if deb822 else "")
        self.options = []
        for name, value in (("Dir::Etc::sourcelist", "sources.list"), ("Dir::Etc::sourceparts", "sources.list.d"),
                            ("Dir::State::lists", "lists"), ("Dir::Cache", "cache")):
            self.options += ["-o", f"{name}={self.root / value}"]
        self.options += ["-o", "Acquire::Languages=none", "-q"]
        self.updated = None

    def run(self, *words, cwd=None):
        return subprocess.run(["apt-get", *self.options, *words], cwd=cwd, capture_output=True, text=True,
                              env=dict(os.environ, LC_ALL="C.UTF-8"))

    def update(self):
        """The Sources indexes, once a run; a mirror or suite that fails is
        reported, and the others used."""
        if self.updated is None:
            done = self.run("update")
            # As root apt fetches as the user _apt, who cannot write in a build
            # folder under /root; it says so, and fetches as root.
            self.updated = [line for line in (done.stdout + done.stderr).splitlines()
                            if line.startswith(("E:", "W:")) and "unsandboxed" not in line]

    def served_versions(self, source):
        done = subprocess.run(["apt-cache", *self.options, "showsrc", "--only-source", source],
                              capture_output=True, text=True, env=dict(os.environ, LC_ALL="C.UTF-8"))
        versions, package = [], None
        for line in done.stdout.splitlines():
            if line.startswith("Package: "):
                package = line[9:].strip()
            elif line.startswith("Version: ") and package == source:
                version = line[9:].strip()
                if version not in versions:
                    versions.append(version)
        return sorted(versions, key=functools.cmp_to_key(compare_versions), reverse=True)


def compare_versions(left, right):
    if left == right:
        return 0
    greater = subprocess.run(["dpkg", "--compare-versions", left, "gt", right]).returncode == 0
    return 1 if greater else -1


def installed_source_version(binary):
    """The source version of an installed binary package: a binary-only
    rebuild's +bN is not part of it."""
    done = subprocess.run(["dpkg-query", "-W", "-f=${db:Status-Status} ${source:Version}", binary],
                          capture_output=True, text=True)
    status, _, version = done.stdout.partition(" ")
    return version.strip() if done.returncode == 0 and status == "installed" else None


def unpack(apt, dest, source, version):
    """Fetches one version of a source package and unpacks it beside the
    old one; apt has checked every file against the signed indexes. None
    when done, else why not."""
    download = dest / "download"
    download.mkdir(parents=True, exist_ok=True)
    done = apt.run("source", "--download-only", "--only-source", f"{source}={version}", cwd=download)
    if done.returncode != 0:
        said = [line for line in (done.stdout + done.stderr).splitlines() if line.startswith("E:")]
        if any("'deb-src' URIs" in line for line in said):
            return "no source index could be fetched"
        return said[0][3:] if said else f"apt-get source ended with {done.returncode}"
    dsc = download / f"{source}_{version.split(':', 1)[-1]}.dsc"
    fresh = dest / f"{source}.new"
    shutil.rmtree(fresh, ignore_errors=True)
    # The signature on the .dsc is its uploader's; apt has already checked
    # each file's hash against the archive's signed indexes.
    done = subprocess.run(["dpkg-source", "--no-check", "--no-copy", "-x", str(dsc), str(fresh)], capture_output=True, text=True)
    if done.returncode != 0:
        return f"dpkg-source could not unpack {dsc.name}: {done.stderr.strip()}"
    shutil.rmtree(dest / source, ignore_errors=True)
    fresh.rename(dest / source)
    return None


def fetch(apt, dest, source, binary, wanted):
    """Unpacks the wanted version, or the newest served one that can be
    fetched; returns the version taken and why."""
    apt.update()
    tried = []
    candidates = ([wanted] if wanted else []) + [v for v in apt.served_versions(source) if v != wanted]
    for version in candidates:
        why_not = unpack(apt, dest, source, version)
        if why_not is None:
            if version == wanted:
                return version, f"the source of the installed {binary}"
            if not wanted:
                reason = f"{binary} is not installed"
            elif wanted not in apt.served_versions(source):
                reason = f"the installed {binary}'s {wanted} is no longer served"
            else:
                reason = f"the installed {binary}'s {wanted} could not be fetched"
            later = [f"{v} could not be fetched ({why})" for v, why in tried if v != wanted]
            return version, "; ".join([reason, *later, "the newest served that could"])
        tried.append((version, why_not))
    attempts = "".join(f"\n  {version}: {why}" for version, why in tried) or " your apt sources serve no version of it"
    update = "".join("\n  " + line for line in apt.updated)
    raise Failure(
        f"cannot fetch Debian's source package {source}, tried:{attempts}\n"
        f"apt-get update, on deb-src entries made from your apt sources' deb entries (in {apt.root}), said:"
        f"{update or ' nothing amiss'}\n"
        f"Check that apt-get update works on this machine and that its sources name a Debian 12 (bookworm) "
        f"mirror, then build again.")


def main(arguments):
    if len(arguments) < 2 or not all("=" in pair for pair in arguments[1:]):
        print("usage: debian_sources.py DEST SOURCE=BINARY ...", file=sys.stderr)
        return 2
    dest = pathlib.Path(arguments[0]).resolve()
    dest.mkdir(parents=True, exist_ok=True)
    apt = None
    try:
        for pair in arguments[1:]:
            source, binary = pair.split("=", 1)
            wanted = installed_source_version(binary)
            record = dest / f"{source}.version"
            # "wanted taken": the installed version the source was fetched for,
            # and the one taken.
            have = record.read_text().split() if record.exists() and (dest / source).is_dir() else []
            if have and have[0] == (wanted or "-"):
                continue
            try:
                apt = apt or PrivateApt(dest)
                taken, why = fetch(apt, dest, source, binary, wanted)
            except Failure as failure:
                if not have:
                    raise
                print(f"warning: kept Debian's source package {source} {have[1]} as it was unpacked before: "
                      f"{failure}", flush=True)
                continue
            record.write_text(f"{wanted or '-'} {taken}\n")
            print(f"Debian's source package {source} {taken}: {why}", flush=True)
        if apt and apt.updated:
            print("apt-get update, for Debian's sources, said:" + "".join("\n  " + line for line in apt.updated))
    except Failure as failure:
        print(f"debian_sources.py: {failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
