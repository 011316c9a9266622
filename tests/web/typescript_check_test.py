#!/usr/bin/env python3
"""The declarations as a TypeScript page sees them: the package is installed
by its name (a node_modules folder holding web/), the example scripts must
pass `tsc --noEmit --strict` (their marked mistakes must each be reported),
and a script that misspells a member must be refused for that misspelling.

    typescript_check_test.py TSC WEB_DIR EXAMPLES_DIR
"""
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

FLAGS = ["--noEmit", "--strict", "--target", "es2020", "--lib", "es2020,dom",
         "--module", "esnext", "--moduleResolution", "bundler"]
EXAMPLES = ["example_module.ts", "example_script.ts"]
MISSPELT = "misspelt_member.ts"
# "does not exist on type" (TS2339), or the same with "Did you mean" (TS2551).
UNKNOWN_MEMBER = re.compile(r"error TS(2339|2551): Property 'ImageCont' does not exist")


def tsc(compiler, folder, files):
    run = subprocess.run([compiler, *FLAGS, *files], cwd=folder, capture_output=True, text=True)
    return run.returncode, (run.stdout + run.stderr).strip()


def page_folder(work, web_dir, examples_dir):
    """A page's project with the package installed under its name."""
    modules = Path(work) / "node_modules"
    modules.mkdir()
    (modules / "pagewell").symlink_to(Path(web_dir).resolve(), target_is_directory=True)
    for name in EXAMPLES + [MISSPELT]:
        shutil.copy(Path(examples_dir) / name, work)
    return work


def main(compiler, web_dir, examples_dir):
    compiler = str(Path(compiler).absolute())
    if not Path(compiler).exists():
        print(f"{compiler} is missing: scripts/setup installs TypeScript there")
        return 1
    with tempfile.TemporaryDirectory() as work:
        folder = page_folder(work, web_dir, examples_dir)
        status, output = tsc(compiler, folder, EXAMPLES)
        if status != 0:
            print(f"the example scripts do not type-check:\n{output}")
            return 1
        status, output = tsc(compiler, folder, [MISSPELT])
        errors = [line for line in output.splitlines() if ": error TS" in line]
        if status == 0 or not errors or not all(UNKNOWN_MEMBER.search(line) for line in errors):
            print(f"{MISSPELT} must fail only for pw.ImageCont; tsc said (exit {status}):\n{output}")
            return 1
    print("the examples type-check and pw.ImageCont is refused")
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit("usage: typescript_check_test.py TSC WEB_DIR EXAMPLES_DIR")
    sys.exit(main(*sys.argv[1:]))
