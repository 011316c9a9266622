#!/usr/bin/env python3
"""Compiles the Public Suffix List into a C++ table for public_suffix.cpp.

    make_public_suffix_rules.py public_suffix_list.dat public_suffix_rules.cpp

Browsers send host names in their ASCII form (xn-- labels), so every rule
is stored that way: the list writes internationalised rules in Unicode, and
each such label becomes "xn--" and its punycode (RFC 3492). The rules of
both sections (ICANN and private) go in alike: a site lock or a consent
window must treat github.io as the public suffix it is.

The table is the rules sorted as bytes and packed into one string, with the
offset where each begins, so that a lookup is a binary search and the data
carries no pointers (no relocations in the DLL). The lookup relies on two
properties of the list checked here: a wildcard is only ever the whole
leftmost label ("*.ck"), and an exception only ever starts a rule
("!www.ck"). A list that breaks either stops the build rather than being
read differently from what it says.
"""
import re
import sys

LABEL = re.compile(r"[a-z0-9_-]+\Z")


def ascii_label(label):
    if label.isascii():
        return label
    return "xn--" + label.encode("punycode").decode("ascii")


def rule_of_line(line):
    """The rule a line of the list holds in ASCII form, or None for a
    comment or a blank line. Only the text up to the first white space
    counts."""
    words = line.split()
    if not words or words[0].startswith("//"):
        return None
    text = words[0]
    prefix = ""
    if text.startswith("!"):
        prefix, text = "!", text[1:]
    elif text.startswith("*."):
        prefix, text = "*.", text[2:]
    labels = [ascii_label(label) for label in text.split(".")]
    for label in labels:
        if not LABEL.match(label):
            raise ValueError(f"unexpected label {label!r} in rule {words[0]!r}")
    return prefix + ".".join(labels)


def read_rules(path):
    rules = set()
    with open(path, encoding="utf-8") as dat:
        for number, line in enumerate(dat, 1):
            try:
                rule = rule_of_line(line)
            except ValueError as error:
                sys.exit(f"{path}:{number}: {error}")
            if rule is not None:
                rules.add(rule)
    return sorted(rules, key=lambda rule: rule.encode("ascii"))


def c_string_lines(rules, width=96):
    """The rules as adjacent C string literals of about `width` characters."""
    lines, current = [], ""
    for rule in rules:
        if current and len(current) + len(rule) > width:
            lines.append(current)
            current = ""
        current += rule
    if current:
        lines.append(current)
    return ['    "' + line + '"' for line in lines]


def number_lines(numbers, per_line=12):
    return ["    " + ", ".join(str(n) for n in numbers[i:i + per_line]) + ","
            for i in range(0, len(numbers), per_line)]


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    source, output = sys.argv[1], sys.argv[2]
    rules = read_rules(source)
    if not rules:
        sys.exit(f"{source}: no rules")
    starts = [0]
    for rule in rules:
        starts.append(starts[-1] + len(rule))
    text = "\n".join([
        f"// Generated at build time from {source} by",
        "// src/origin/make_public_suffix_rules.py. Do not edit.",
        '#include "origin/public_suffix_rules.h"',
        "",
        "namespace pagewell::public_suffix_rules {",
        "",
        f"const std::size_t kCount = {len(rules)};",
        "",
        "const char kText[] =",
        *c_string_lines(rules),
        "    ;",
        "",
        f"const std::uint32_t kStarts[{len(starts)}] = {{",
        *number_lines(starts),
        "};",
        "",
        "}  // namespace pagewell::public_suffix_rules",
        "",
    ])
    with open(output, "w", encoding="ascii") as cpp:
        cpp.write(text)


if __name__ == "__main__":
    main()
