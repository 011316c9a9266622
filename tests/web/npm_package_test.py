#!/usr/bin/env python3
"""web/ as the npm package "pagewell": `npm pack --dry-run` lists exactly the
files meant to ship, the entry points it names are among them, it depends on
nothing, and its version is the product's (the project version in the
top-level CMakeLists.txt, which the installer is built with too).

    npm_package_test.py NPM WEB_DIR PROJECT_VERSION
"""
import json
import subprocess
import sys
import tempfile
from pathlib import Path

SHIPPED = {"package.json", "pagewell.js", "pagewell.mjs", "pagewell.d.ts"}


def packed_files(npm, web_dir):
    # A cache of its own: the listing needs none, and nothing is left behind.
    with tempfile.TemporaryDirectory() as cache:
        run = subprocess.run([npm, "pack", "--dry-run", "--json", "--cache", cache], cwd=web_dir,
                             capture_output=True, text=True, check=True)
    return {entry["path"] for entry in json.loads(run.stdout)[0]["files"]}


def npm_version(project_version):
    """1.3 -> 1.3.0: npm versions have three parts."""
    parts = project_version.split(".")
    return ".".join((parts + ["0", "0"])[:3])


def entry_points(package):
    points = [package["main"], package["module"], package["types"]]
    points += package["exports"]["."].values()
    return {point.removeprefix("./") for point in points}


def main(npm, web_dir, project_version):
    package = json.loads((Path(web_dir) / "package.json").read_text(encoding="utf-8"))
    faults = []
    if package.get("name") != "pagewell":
        faults.append(f"the name is {package.get('name')!r}")
    if package.get("version") != npm_version(project_version):
        faults.append(f"the version is {package.get('version')!r}, the product's {npm_version(project_version)!r}")
    for field in ("dependencies", "peerDependencies", "optionalDependencies"):
        if package.get(field):
            faults.append(f"it has {field}: {package[field]}")
    files = packed_files(npm, web_dir)
    if files != SHIPPED:
        faults.append(f"npm pack lists {sorted(files)}, not {sorted(SHIPPED)}")
    missing = entry_points(package) - files
    if missing:
        faults.append(f"entry points not shipped: {sorted(missing)}")
    for fault in faults:
        print(f"web/package.json: {fault}")
    if not faults:
        print(f"pagewell {package['version']} ships {sorted(files)}")
    return 1 if faults else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit("usage: npm_package_test.py NPM WEB_DIR PROJECT_VERSION")
    sys.exit(main(*sys.argv[1:]))
