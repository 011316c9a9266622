#!/usr/bin/env python3
"""Writes pagewell.d.ts: the library's own declarations (pagewell.d.ts.in
beside this file) with the control's members filled in from its type
library source, so that the types a page is checked against are the members
the service will list.

    make_declarations.py IDL TEMPLATE OUT

Through the service every read is a promise, every write a plain assignment
and every method a promise of its result; an object such as the form's font
cannot cross the connection and reads as null.
"""
import re
import sys

PLACEHOLDER = "@CONTROL_MEMBERS@"

# IDL types as JSON carries them.
SCALARS = {
    "VARIANT_BOOL": "boolean",
    "BSTR": "string",
    "long": "number",
    "short": "number",
    "double": "number",
    "float": "number",
    "OLE_COLOR": "number",
}
OBJECTS = {"IFontDisp*", "IDispatch*", "IUnknown*"}

MEMBER = re.compile(r"^\s*\[(?P<attributes>[^\]]*)\]\s*(?P<returns>HRESULT|void)\s+(?P<name>\w+)\s*\((?P<parameters>.*)\)\s*;")
PARAMETER = re.compile(r"^\s*\[(?P<attributes>[^\]]*)\]\s*(?P<type>[\w]+\s*\**)\s*(?P<name>\w+)\s*$")
ENUM = re.compile(r"enum\s+(?P<name>\w+)\s*\{(?P<body>[^}]*)\}", re.S)
BLOCK = re.compile(r"^\s*(?P<kind>interface|dispinterface)\s+(?P<name>\w+)[^{;]*\{(?P<body>.*?)\n\s*\};", re.S | re.M)


def script_type(idl_type, enums):
    idl_type = idl_type.replace(" ", "")
    base = idl_type.rstrip("*")
    if base in enums:
        return base
    if idl_type in OBJECTS or base + "*" in OBJECTS:
        return "null"
    if base in SCALARS:
        return SCALARS[base]
    raise SystemExit(f"make_declarations: no script type for the IDL type {idl_type!r}")


def parameters_of(text):
    found = []
    # Commas inside a parameter's [attributes] do not separate parameters.
    for part in filter(None, (p.strip() for p in re.split(r",(?![^\[]*\])", text))):
        match = PARAMETER.match(part)
        if not match:
            raise SystemExit(f"make_declarations: cannot read the parameter {part!r}")
        found.append((match["attributes"].replace(" ", "").split(","), match["type"], match["name"]))
    return found


def read_enums(idl):
    enums = {}
    for match in ENUM.finditer(idl):
        values = []
        for item in filter(None, (i.strip() for i in match["body"].split(","))):
            name, value = (s.strip() for s in item.split("="))
            values.append((name, int(value, 0)))
        enums[match["name"]] = values
    return enums


def read_block(idl, kind):
    for match in BLOCK.finditer(idl):
        if match["kind"] == kind:
            return [MEMBER.match(line) for line in match["body"].splitlines() if MEMBER.match(line)]
    raise SystemExit(f"make_declarations: the IDL has no {kind}")


class Property:
    def __init__(self, name):
        self.name, self.type, self.readable, self.writable = name, None, False, False


def read_interface(idl, enums):
    """The dispatch interface's properties and methods, in the IDL's order."""
    members, order = {}, []
    for match in read_block(idl, "interface"):
        attributes = [a.strip() for a in match["attributes"].split(",")]
        name, parameters = match["name"], parameters_of(match["parameters"])
        if name not in members:
            order.append(name)
        if "propget" in attributes or "propput" in attributes or "propputref" in attributes:
            prop = members.setdefault(name, Property(name))
            prop.type = script_type(parameters[-1][1], enums)
            prop.readable |= "propget" in attributes
            prop.writable |= ("propput" in attributes or "propputref" in attributes) and prop.type != "null"
        else:
            members[name] = parameters
    return [(name, members[name]) for name in order]


def property_lines(prop):
    if prop.readable and prop.writable:
        return [f"  get {prop.name}(): Promise<{prop.type}>;", f"  set {prop.name}(value: {prop.type});"]
    if prop.readable:
        return [f"  readonly {prop.name}: Promise<{prop.type}>;"]
    return [f"  set {prop.name}(value: {prop.type});"]


def method_line(name, parameters, enums):
    inputs = [p for p in parameters if "retval" not in p[0]]
    results = [p for p in parameters if "retval" in p[0]]
    result = script_type(results[0][1], enums) if results else "void"
    listed = ", ".join(f"{p[2]}: {script_type(p[1], enums)}" for p in inputs)
    return f"  {name}({listed}): Promise<{result}>;"


def declarations(idl):
    enums = read_enums(idl)
    lines = ["// The control's enumerations, by value (their names are in the comments)."]
    for name, values in enums.items():
        lines.append(f"/** {', '.join(f'{n} = {v}' for n, v in values)} */")
        lines.append(f"export type {name} = {' | '.join(str(v) for _, v in values)};")

    interface = read_interface(idl, enums)
    lines += ["", "/** The control's properties and methods, as the service serves them. */",
              "export interface PagewellControlMembers {"]
    for name, member in interface:
        lines += property_lines(member) if isinstance(member, Property) else [method_line(name, member, enums)]
    lines += ["}", "", "/** The properties a page may write, with the type each takes. */",
              "export interface PagewellWritableProperties {"]
    lines += [f"  {m.name}: {m.type};" for _, m in interface if isinstance(m, Property) and m.writable]
    lines += ["}", "", "/** The control's events and the arguments each handler is called with. */",
              "export interface PagewellEventHandlers {"]
    for match in read_block(idl, "dispinterface"):
        listed = ", ".join(f"{p[2]}: {script_type(p[1], enums)}" for p in parameters_of(match["parameters"]))
        lines.append(f"  {match['name']}: ({listed}) => void;")
    lines.append("}")
    return "\n".join(lines)


def main(argv):
    if len(argv) != 4:
        raise SystemExit("usage: make_declarations.py IDL TEMPLATE OUT")
    with open(argv[1], encoding="utf-8") as idl_file, open(argv[2], encoding="utf-8") as template_file:
        idl, template = idl_file.read(), template_file.read()
    if template.count(PLACEHOLDER) != 1:
        raise SystemExit(f"make_declarations: the template must hold {PLACEHOLDER} once")
    with open(argv[3], "w", encoding="utf-8", newline="\n") as out:
        out.write(template.replace(PLACEHOLDER, declarations(idl)))


if __name__ == "__main__":
    main(sys.argv)
