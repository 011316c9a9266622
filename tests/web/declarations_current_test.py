#!/usr/bin/env python3
"""web/pagewell.d.ts is what make_declarations.py writes from the control's
IDL today: a member added to, renamed in or removed from the type library
without new declarations fails here.

    declarations_current_test.py GENERATOR IDL TEMPLATE COMMITTED
"""
import difflib
import subprocess
import sys
import tempfile
from pathlib import Path


def main(generator, idl, template, committed):
    with tempfile.TemporaryDirectory() as work:
        fresh = Path(work) / "pagewell.d.ts"
        subprocess.run([sys.executable, generator, idl, template, str(fresh)], check=True)
        want = fresh.read_text(encoding="utf-8").splitlines(keepends=True)
    have = Path(committed).read_text(encoding="utf-8").splitlines(keepends=True)
    if want == have:
        print(f"{committed} matches {idl}")
        return 0
    sys.stdout.writelines(difflib.unified_diff(have, want, committed, "from the IDL"))
    print(f"\n{committed} is out of date; write it again with:\n"
          f"  python3 {generator} {idl} {template} {committed}")
    return 1


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit("usage: declarations_current_test.py GENERATOR IDL TEMPLATE COMMITTED")
    sys.exit(main(*sys.argv[1:]))
