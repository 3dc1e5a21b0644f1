#!/usr/bin/env python3
"""Writes the hand-made seed files of the fuzz targets that have no natural sample files: the
link record with its steering bytes, the preference store and script lines. Run from anywhere;
the seeds are committed, so this is only needed to change them."""
import datetime
import json
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def put(folder, name, data):
    path = os.path.join(HERE, folder, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if isinstance(data, str):
        data = data.encode()
    with open(path, "wb") as f:
        f.write(data)


# Link record: version, 10 slots, saved layer, save area (46 bytes), then steering bytes:
# day of the first pass, day of the second, missing-task answers (bit set: break), flags
# (1 user-hidden layer, 2 locked layer, 4 locked element, 8 user data refused), kind less one.
def link(version, slots, saved_layer=0, save=b"", steer=b"", cut=None):
    rec = struct.pack("<10i", *(slots + [0] * (10 - len(slots))))
    rec += struct.pack("<h", saved_layer)
    rec += save.ljust(46, b"\0")[:46]
    data = struct.pack("<h", version) + rec
    if cut is not None:
        data = data[: 2 + cut]
    return data + steer


pens = struct.pack("<8h", 3, 4, 2, 2, 2, 0, 0, 0)
put("addon/corpus-link", "missing-kept", link(103, [99, 1], steer=bytes([2, 40, 0x00, 0])))
put("addon/corpus-link", "missing-broken", link(103, [77, 1, 0, 5], steer=bytes([2, 40, 0xFF, 0])))
put("addon/corpus-link", "under-work-then-present", link(103, [1], steer=bytes([2, 22, 0, 0])))
put("addon/corpus-link", "overridden-restored", link(103, [1], 0, pens, bytes([22, 80, 0, 0])))
put("addon/corpus-link", "absent-saved-layer", link(102, [5], 1, b"", bytes([3, 60, 0, 0])))
put("addon/corpus-link", "locked-element", link(103, [2, 3], 0, pens, bytes([5, 8, 0, 4])))
put("addon/corpus-link", "locked-layer", link(101, [3], 0, b"", bytes([12, 14, 0, 2])))
put("addon/corpus-link", "hidden-layer", link(103, [1], 0, b"", bytes([2, 2, 0, 1])))
put("addon/corpus-link", "refused", link(103, [99, 1], 0, pens, bytes([2, 30, 0xFF, 8])))
put("addon/corpus-link", "ten-slots", link(103, [1, 2, 3, 4, 5, 6, 7, -1, 3, 0x7FFFFFFF], 7, pens, bytes([9, 70, 0x55, 0])))
put("addon/corpus-link", "short-v100", link(100, [1, 2], cut=40))
for kind in (2, 3, 5, 6, 7, 8, 9, 10, 17, 18, 19, 21, 22, 23, 37):
    put("addon/corpus-link", "kind-%02d" % kind, link(103, [1, 5], 0, pens, bytes([2, 22, 0, 0, kind - 1])))
put("addon/corpus-link", "version-99", link(99, [1]))

# Project files with a plan section (version 5), written field by field as docs/PROJECT_FILE.md
# gives them: a plan with summary rows, milestones, progress and every kind of dependency, alone
# and after the rules of the house.
EPOCH_1601 = datetime.datetime(1601, 1, 1)


def ticks(*fields):
    return int((datetime.datetime(*fields) - EPOCH_1601).total_seconds()) * 10_000_000


def task_record(task_id, task_type, start, finish, name):
    raw = name.encode("cp1250")
    return (struct.pack("<ii", task_id, task_type) + struct.pack("<iq", 0, ticks(*start)) +
            struct.pack("<iq", 0, ticks(*finish)) + struct.pack("<Q", len(raw)) + raw)


def moment(*fields):
    return struct.pack("<iq", 0, ticks(*fields)) if fields else struct.pack("<iq", 2, 0)


def plan(uid, level, marks, percent, start, finish, wbs, preds):
    raw = wbs.encode("cp1250")
    body = struct.pack("<iHBB", uid, level, marks, percent) + moment(*start) + moment(*finish)
    body += struct.pack("<H", len(raw)) + raw + struct.pack("<I", len(preds))
    for pred, kind, lag, fmt in preds:
        body += struct.pack("<iBiB", pred, kind, lag, fmt)
    return body


def section(tag, body):
    return tag + struct.pack("<I", len(body)) + body


def project5(records, sections):
    return (b"BVBF" + struct.pack("<iiI", 5, len(records), len(sections)) + bytes(48) + b"".join(records) +
            b"".join(sections))


plan_tasks = [
    task_record(1, 0, (2009, 3, 2), (2009, 3, 3), "UITVOERING"),
    task_record(2, 0, (2009, 3, 2), (2009, 3, 21), "Ruwbouw"),
    task_record(3, 0, (2009, 3, 2), (2009, 3, 7), "Fundering"),
    task_record(4, 4, (2009, 3, 18), (2009, 4, 11), "Steigerwerk"),
    task_record(5, 3, (2009, 4, 10), (2009, 4, 11), "Műszaki átadás"),
]
plans = (struct.pack("<I", 5) +
         plan(1, 1, 2, 255, (), (), "1", []) +
         plan(2, 1, 1, 40, (2009, 3, 2, 8), (), "1.1", []) +
         plan(3, 2, 0, 100, (2009, 3, 2, 8), (2009, 3, 6, 16, 30), "1.1.1", [(1, 1, 0, 7)]) +
         plan(6, 2, 0, 255, (), (), "", [(3, 3, -4800, 7), (3, 0, 50, 19), (3, 2, 9600, 5)]) +
         plan(0, 0, 2, 0, (), (), "Átadás", []))
put("schedule/corpus/projectfile", "plan_v5.csp", project5(plan_tasks, [section(b"PLAN", plans)]))
with open(os.path.join(HERE, "schedule", "corpus", "projectfile", "house_rules_v5.csp"), "rb") as f:
    house = f.read()
count = struct.unpack_from("<i", house, 8)[0]
house_plans = struct.pack("<I", count) + b"".join(
    plan(i + 1, 1 + i % 3, (i % 4) & 3 if i % 4 != 3 else 0, (i * 17) % 101, (2009, 3, 1 + i % 28) if i % 2 else (),
         (), "%d.%d" % (1 + i // 3, 1 + i % 3), [(i, i % 4, 60 * i, 7)] if i else [])
    for i in range(count))
put("schedule/corpus/projectfile", "house_rules_plan_v5.csp",
    house[:12] + struct.pack("<I", 2) + house[16:] + section(b"PLAN", house_plans))
ifc_ids = struct.pack("<I", 5) + b"".join(
    (b"\x16" + gid.encode("ascii")) if gid else b"\x00"
    for gid in ["1Ws4DTask00000000000A1", "1Ws4DTask00000000000A2", "", "3uz48kjnbIA3SJNqYLuMQL", ""])
put("schedule/corpus/projectfile", "plan_ifc_v5.csp",
    project5(plan_tasks, [section(b"PLAN", plans), section(b"IFCT", ifc_ids)]))
put("schedule/corpus/projectfile", "ifc_only_v5.csp", project5(plan_tasks, [section(b"IFCT", ifc_ids)]))
status = moment(2009, 3, 16) + bytes([2])
def baseline(name, kept, tasks):
    raw = name.encode("cp1250")
    body = struct.pack("<H", len(raw)) + raw + moment(*kept) + struct.pack("<I", len(tasks))
    for task_id, start, finish in tasks:
        body += struct.pack("<i", task_id) + moment(*start) + moment(*finish)
    return body
baselines = (struct.pack("<H", 2) +
             baseline("Szerződés", (2009, 2, 20, 10, 30), [(1, (2009, 3, 2), (2009, 3, 3)), (3, (2009, 3, 2), (2009, 3, 6))]) +
             baseline("Április", (2009, 4, 1), [(2, (2009, 3, 4), (2009, 3, 21))]))
put("schedule/corpus/projectfile", "plan_status_baselines_v5.csp",
    project5(plan_tasks, [section(b"PLAN", plans), section(b"STAT", status), section(b"BASE", baselines)]))

# Preference store.
def store(addons):
    return json.dumps({"addons": addons}, indent=1) + "\n"


good = {"version": 2, "size": 3, "hex": "52504434"[:6]}
put("prefs/corpus", "two-records", store({"Bauvista": {"version": 2, "size": 4, "hex": "52504434"},
                                          "Masik": {"version": -1, "size": 0, "hex": ""}}))
put("prefs/corpus", "empty", store({}))
put("prefs/corpus", "odd-hex", store({"Bauvista": {"version": 2, "size": 2, "hex": "abc"}, "Masik": good}))
put("prefs/corpus", "size-mismatch", store({"Bauvista": {"version": 2, "size": 9, "hex": "00ff"}}))
put("prefs/corpus", "float-size", '{"addons": {"Bauvista": {"version": 2, "size": 1.5, "hex": "00"}}}\n')
put("prefs/corpus", "huge-numbers", '{"addons": {"A": {"version": 2147483648, "size": 4294967296, "hex": ""},'
    ' "B": {"version": -2147483648, "size": 0, "hex": "", "extra": [1, {"x": null}]}}}\n')
put("prefs/corpus", "not-an-object", '{"addons": {"A": [1, 2], "B": "text", "C": null, "D": {"version": "2"}}}\n')
put("prefs/corpus", "cut", store({"Bauvista": {"version": 2, "size": 4, "hex": "52504434"}})[:40])
put("prefs/corpus", "no-store", "[1, 2, 3]\n")
put("prefs/corpus", "deep", '{"addons": {"A": ' + "[" * 40 + "]" * 40 + "}}\n")
put("prefs/corpus", "unicode-name", '{"addons": {"B\\u00e1uvista \\ud83c\\udfd7": {"version": 1, "size": 1, "hex": "FF"}}}\n')

# Script lines.
lines = {
    "choose": "choose /tmp/haz.csp 2",
    "menu": "menu 3",
    "palette": 'palette name "Fal # \\"A\\" C:\\\\x"',
    "select": "select FAL-01  ABL-02\tZON-01\r",
    "comment": "   # only a comment",
    "remark": "undo # and a remark",
    "hash-inside": "palette name A#1",
    "empty-quotes": 'palette name ""',
    "hungarian": 'layer "Meglévő épület" hide',
    "unterminated": 'select "FAL-01',
    "bad-escape": 'select "a\\nb"',
    "after-quote": 'select "a"b',
    "answer": "answer 2",
    "dialog": 'dialog movie "kind=2" "step=7"',
    "print": "print report",
}
for name, text in lines.items():
    put("script/corpus", name, text)

# IFC files: the small test files, and a few shapes the library handles badly that the reader
# must guard (an opening without a placement, a clipped wall, a scaled mapped item, a loop, a
# placement missing or unread).
IFC_DATA = os.path.join(HERE, "..", "tests", "data", "ifc")
for name in sorted(n for n in os.listdir(IFC_DATA) if n.endswith(".ifc")):
    with open(os.path.join(IFC_DATA, name), "rb") as f:
        data = f.read()
    if len(data) <= 8192:
        put("ifc/corpus", name, data)


def ifc(schema, lines):
    head = ("ISO-10303-21;\nHEADER;\nFILE_DESCRIPTION((''),'2;1');\nFILE_NAME('s','',(''),(''),'','','');\n"
            "FILE_SCHEMA(('%s'));\nENDSEC;\nDATA;\n" % schema)
    base = ("#1=IFCPROJECT('0YvctVUKr0kugbFTf53O9L',$,'P',$,$,$,$,(#2),#5);\n"
            "#2=IFCGEOMETRICREPRESENTATIONCONTEXT($,'Model',3,1.E-05,#3,$);\n"
            "#3=IFCAXIS2PLACEMENT3D(#4,$,$);\n#4=IFCCARTESIANPOINT((0.,0.,0.));\n"
            "#5=IFCUNITASSIGNMENT((#6));\n#6=IFCSIUNIT(*,.LENGTHUNIT.,.MILLI.,.METRE.);\n"
            "#7=IFCDIRECTION((0.,0.,1.));\n#8=IFCLOCALPLACEMENT($,#3);\n"
            "#9=IFCRECTANGLEPROFILEDEF(.AREA.,$,#10,1000.,200.);\n#10=IFCAXIS2PLACEMENT2D(#4,$);\n"
            "#11=IFCEXTRUDEDAREASOLID(#9,#3,#7,2000.);\n")
    return head + base + "".join(l + ";\n" for l in lines) + "ENDSEC;\nEND-ISO-10303-21;\n"


wall = ["#20=IFCSHAPEREPRESENTATION(#2,'Body','SweptSolid',(#11))", "#21=IFCPRODUCTDEFINITIONSHAPE($,$,(#20))",
        "#22=IFCWALL('1hOSvn6df7F8_7GcBWlRGQ',$,'W',$,$,#8,#21,$)"]
put("ifc/corpus", "opening-unplaced", ifc("IFC2X3", wall + [
    "#30=IFCOPENINGELEMENT('2vWmf7mJ57gRDyp1mKNPZB',$,$,$,$,$,#21,$)",
    "#31=IFCRELVOIDSELEMENT('3lNBGsE0X9OQ2rNmpf9aC7',$,$,$,#22,#30)"]))
put("ifc/corpus", "clipped", ifc("IFC2X3", [
    "#20=IFCPLANE(#3)", "#21=IFCHALFSPACESOLID(#20,.F.)", "#22=IFCBOOLEANCLIPPINGRESULT(.DIFFERENCE.,#11,#21)",
    "#23=IFCSHAPEREPRESENTATION(#2,'Body','Clipping',(#22))", "#24=IFCPRODUCTDEFINITIONSHAPE($,$,(#23))",
    "#25=IFCWALL('1hOSvn6df7F8_7GcBWlRGQ',$,'Clipped',$,$,#8,#24,$)"]))
put("ifc/corpus", "mapped-scaled", ifc("IFC4", [
    "#20=IFCSHAPEREPRESENTATION(#2,'Body','SweptSolid',(#11))", "#21=IFCREPRESENTATIONMAP(#3,#20)",
    "#22=IFCCARTESIANTRANSFORMATIONOPERATOR3DNONUNIFORM($,$,#4,2.,$,0.5,3.)", "#23=IFCMAPPEDITEM(#21,#22)",
    "#24=IFCSHAPEREPRESENTATION(#2,'Body','MappedRepresentation',(#23))",
    "#25=IFCPRODUCTDEFINITIONSHAPE($,$,(#24))",
    "#26=IFCCOLUMN('2Ym3MtDCz6_OQ6ZOqUkXBm',$,'C\\X2\\00F6\\X0\\',$,$,#8,#25,$,.COLUMN.)"]))
# A profile of a polyline and an arc trimmed by points the other way round, with an elliptic void.
put("ifc/corpus", "curved", ifc("IFC2X3", [
    "#30=IFCCARTESIANPOINT((1000.,-1000.))", "#31=IFCCARTESIANPOINT((3000.,-1000.))", "#32=IFCCARTESIANPOINT((3000.,1000.))",
    "#33=IFCCARTESIANPOINT((1000.,1000.))", "#34=IFCPOLYLINE((#30,#31,#32,#33))", "#35=IFCCARTESIANPOINT((1000.,0.))",
    "#36=IFCAXIS2PLACEMENT2D(#35,$)", "#37=IFCCIRCLE(#36,1000.)", "#38=IFCTRIMMEDCURVE(#37,(#30),(#33),.F.,.CARTESIAN.)",
    "#39=IFCCOMPOSITECURVESEGMENT(.CONTINUOUS.,.T.,#34)", "#40=IFCCOMPOSITECURVESEGMENT(.CONTINUOUS.,.F.,#38)",
    "#41=IFCCOMPOSITECURVE((#39,#40),.F.)", "#42=IFCELLIPSE(#36,300.,200.)", "#43=IFCARBITRARYPROFILEDEFWITHVOIDS(.AREA.,$,#41,(#42))",
    "#44=IFCEXTRUDEDAREASOLID(#43,#3,#7,1000.)", "#45=IFCSHAPEREPRESENTATION(#2,'Body','SweptSolid',(#44))",
    "#46=IFCPRODUCTDEFINITIONSHAPE($,$,(#45))", "#47=IFCWALL('1hOSvn6df7F8_7GcBWlRGQ',$,'Curved',$,$,#8,#46,$)"]))
# A wall cut by a polygonal bounded half space, then by a plane.
put("ifc/corpus", "clipped-bounded", ifc("IFC2X3", [
    "#30=IFCCARTESIANPOINT((-500.,-500.))", "#31=IFCCARTESIANPOINT((300.,-500.))", "#32=IFCCARTESIANPOINT((300.,500.))",
    "#33=IFCPOLYLINE((#30,#31,#32,#30))", "#34=IFCCARTESIANPOINT((0.,0.,1500.))", "#35=IFCDIRECTION((0.,-0.2,1.))",
    "#36=IFCAXIS2PLACEMENT3D(#34,#35,$)", "#37=IFCPLANE(#36)", "#38=IFCPOLYGONALBOUNDEDHALFSPACE(#37,.T.,#3,#33)",
    "#39=IFCBOOLEANCLIPPINGRESULT(.DIFFERENCE.,#11,#38)", "#40=IFCHALFSPACESOLID(#37,.F.)",
    "#41=IFCBOOLEANCLIPPINGRESULT(.DIFFERENCE.,#39,#40)", "#42=IFCSHAPEREPRESENTATION(#2,'Body','Clipping',(#41))",
    "#43=IFCPRODUCTDEFINITIONSHAPE($,$,(#42))", "#44=IFCWALL('1hOSvn6df7F8_7GcBWlRGQ',$,'Cut twice',$,$,#8,#43,$)"]))
# A polygonal face set through a point list, one face with a void and one out of range.
put("ifc/corpus", "polygonal", ifc("IFC4", [
    "#30=IFCCARTESIANPOINTLIST3D(((0.,0.,0.),(3000.,0.,0.),(3000.,3000.,0.),(0.,3000.,0.),(1000.,1000.,0.),(1000.,2000.,0.),"
    "(2000.,2000.,0.),(2000.,1000.,0.),(0.,0.,1000.)))",
    "#31=IFCINDEXEDPOLYGONALFACEWITHVOIDS((1,2,3,4),((5,6,7,8)))", "#32=IFCINDEXEDPOLYGONALFACE((1,2,9))",
    "#33=IFCINDEXEDPOLYGONALFACE((2,3,10))", "#34=IFCPOLYGONALFACESET(#30,.F.,(#31,#32,#33),(1,2,3,4,5,6,7,8,9))",
    "#35=IFCSHAPEREPRESENTATION(#2,'Body','Tessellation',(#34))", "#36=IFCPRODUCTDEFINITIONSHAPE($,$,(#35))",
    "#37=IFCSLAB('1hOSvn6df7F8_7GcBWlRGQ',$,'Polygons',$,$,#8,#36,$,.FLOOR.)"]))
put("ifc/corpus", "placement-loop", ifc("IFC2X3", wall + ["#40=IFCLOCALPLACEMENT(#40,#3)"]))
# A placement the file does not have, and one through an entity the library does not know.
put("ifc/corpus", "placement-missing", ifc("IFC2X3", wall[:2] + ["#22=IFCWALL('1hOSvn6df7F8_7GcBWlRGQ',$,'W',$,$,#77,#21,$)"]))
put("ifc/corpus", "placement-unread", ifc("IFC2X3", wall[:2] + [
    "#30=IFCAXIS2PLACEMENTX(#4,$,$)", "#31=IFCLOCALPLACEMENT(#8,#30)",
    "#22=IFCWALL('1hOSvn6df7F8_7GcBWlRGQ',$,'W',$,$,#31,#21,$)"]))

# The 4D records of IFC files, read from the text without the IFC library: the schedule files.
for name in ("schedule-ifc4.ifc", "schedule-ifc2x3.ifc"):
    with open(os.path.join(IFC_DATA, name), "rb") as f:
        put("ifc/corpus-schedules", name, f.read())
