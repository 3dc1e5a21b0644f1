#!/usr/bin/env python3
"""Writes IfcOpenHouse_rev2.ifc, a later revision of IfcOpenHouse.ifc: the south wall moved
half a metre south, the footing gone, a garden wall added (the south wall's body, without its
openings, four metres further south). Run in this folder."""
import re

text = open("IfcOpenHouse.ifc", encoding="ascii", newline="").read()
nl = "\r\n" if "\r\n" in text else "\n"

def replace_once(old, new):
    global text
    assert text.count(old) == 1, old
    text = text.replace(old, new)

replace_once("#68=IFCCARTESIANPOINT((0.,0.,0.));", "#68=IFCCARTESIANPOINT((0.,-0.5,0.));")
footing = re.search(r"^#77=IFCFOOTING\(.*?\);" + re.escape(nl), text, re.M)
text = text[:footing.start()] + text[footing.end():]
replace_once("(#34,#77,#187,", "(#34,#90000,#187,")
added = nl.join([
    "#90000=IFCWALLSTANDARDCASE('2Xn8NB$Lj0PQmk7fR1bTzA',#5,'Garden wall',$,$,#90003,#50,$);",
    "#90001=IFCCARTESIANPOINT((0.,-4.,0.));",
    "#90002=IFCAXIS2PLACEMENT3D(#90001,#67,#66);",
    "#90003=IFCLOCALPLACEMENT(#31,#90002);",
]) + nl
end = text.rindex("ENDSEC;")
text = text[:end] + added + text[end:]
open("IfcOpenHouse_rev2.ifc", "w", encoding="ascii", newline="").write(text)
