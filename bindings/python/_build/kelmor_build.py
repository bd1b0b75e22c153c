"""The package's build backend: writes the wheel (and the source archive)
with the standard library alone.

The package is a few pure-Python files, and pip must install it from the
source tree without a package index and without setuptools or wheel in the
environment (a plain venv has neither).  pip finds this module through
pyproject.toml's backend-path and calls the hooks below.
"""

import base64
import hashlib
import io
import os
import re
import tarfile
import zipfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parent.parent
PACKAGE = "kelmor"
TAG = "py3-none-any"


def _project_table():
    """The simple entries of pyproject.toml's [project] table and its
    [project.optional-dependencies]: strings and lists of strings, which is
    all this file uses (tomllib is not in every Python pip runs with)."""
    tables, current = {}, None
    for line in (SOURCE / "pyproject.toml").read_text(encoding="utf-8").splitlines():
        line = line.strip()
        header = re.fullmatch(r"\[([^\]]+)\]", line)
        if header:
            current = tables.setdefault(header.group(1), {})
            continue
        entry = re.fullmatch(r'([A-Za-z0-9_-]+)\s*=\s*(.+)', line)
        if current is None or not entry:
            continue
        value = entry.group(2).strip()
        strings = re.findall(r'"([^"]*)"', value)
        current[entry.group(1)] = strings if value.startswith("[") else (strings or [""])[0]
    return tables.get("project", {}), tables.get("project.optional-dependencies", {})


def _metadata():
    project, extras = _project_table()
    lines = [
        "Metadata-Version: 2.1",
        "Name: %s" % project["name"],
        "Version: %s" % project["version"],
        "Summary: %s" % project.get("description", ""),
        "Requires-Python: %s" % project.get("requires-python", ">=3"),
    ]
    for extra, requirements in sorted(extras.items()):
        lines.append("Provides-Extra: %s" % extra)
        lines += ['Requires-Dist: %s; extra == "%s"' % (r, extra) for r in requirements]
    lines.append("Description-Content-Type: text/markdown")
    readme = (SOURCE / "README.md").read_text(encoding="utf-8")
    return project, "\n".join(lines) + "\n\n" + readme


def _dist_name(project):
    return "%s-%s" % (project["name"].replace("-", "_"), project["version"])


def _record_line(name, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return "%s,sha256=%s,%d" % (name, digest, len(data))


def _package_files():
    """(name in the archive, bytes) of the importable package."""
    for path in sorted((SOURCE / PACKAGE).iterdir()):
        if path.is_file() and (path.suffix == ".py" or path.name == "py.typed"):
            yield "%s/%s" % (PACKAGE, path.name), path.read_bytes()


def _write_wheel(directory, files):
    """A wheel of the files (name, bytes) beside its metadata; its file name."""
    project, metadata = _metadata()
    dist = _dist_name(project)
    info = dist + ".dist-info"
    files = list(files) + [
        (info + "/METADATA", metadata.encode("utf-8")),
        (info + "/WHEEL", ("Wheel-Version: 1.0\nGenerator: kelmor_build\nRoot-Is-Purelib: true\n"
                           "Tag: %s\n" % TAG).encode()),
        (info + "/top_level.txt", (PACKAGE + "\n").encode()),
    ]
    record = [_record_line(name, data) for name, data in files] + [info + "/RECORD,,"]
    files.append((info + "/RECORD", ("\n".join(record) + "\n").encode()))
    wheel_name = "%s-%s.whl" % (dist, TAG)
    with zipfile.ZipFile(os.path.join(directory, wheel_name), "w", zipfile.ZIP_DEFLATED) as wheel:
        for name, data in files:
            wheel.writestr(zipfile.ZipInfo(name, date_time=(1980, 1, 1, 0, 0, 0)), data,
                           zipfile.ZIP_DEFLATED)
    return wheel_name


# -- the hooks pip calls (PEP 517, PEP 660)

def get_requires_for_build_wheel(config_settings=None):
    return []


def get_requires_for_build_sdist(config_settings=None):
    return []


def get_requires_for_build_editable(config_settings=None):
    return []


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    return _write_wheel(wheel_directory, _package_files())


def build_editable(wheel_directory, config_settings=None, metadata_directory=None):
    # The source directory on the path: edits take effect without reinstalling.
    path_file = ("_%s_editable.pth" % PACKAGE, (str(SOURCE) + "\n").encode("utf-8"))
    return _write_wheel(wheel_directory, [path_file])


def build_sdist(sdist_directory, config_settings=None):
    project, metadata = _metadata()
    dist = _dist_name(project)
    members = [("PKG-INFO", metadata.encode("utf-8"))]
    for relative in ["pyproject.toml", "README.md", "_build/kelmor_build.py"]:
        members.append((relative, (SOURCE / relative).read_bytes()))
    members += list(_package_files())
    archive = dist + ".tar.gz"
    with tarfile.open(os.path.join(sdist_directory, archive), "w:gz",
                      format=tarfile.PAX_FORMAT) as tar:
        for name, data in members:
            member = tarfile.TarInfo("%s/%s" % (dist, name))
            member.size, member.mode = len(data), 0o644
            tar.addfile(member, io.BytesIO(data))
    return archive
