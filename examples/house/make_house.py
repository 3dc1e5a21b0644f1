#!/usr/bin/env python3
"""Writes house.qvp: a small two-storey family house with its building site.

The model is what a planner would hand over for construction sequencing: terrain,
foundation, a masonry shell on two storeys, porch columns and beams, a floor slab, a
gable roof, openings, furniture, drafting elements, scaffolding and a site container
(temporary work), an old shed to be demolished and an existing garden wall to be
renovated. Two camera paths give fly-throughs for movies.

Run it from anywhere; it writes house.qvp next to itself. The output is stable, so a
rerun without changes gives the same file.
"""
import json
import os

LAYERS = [
    {"name": "Terep"},
    {"name": "Szerkezet"},
    {"name": "Tető"},
    {"name": "Nyílászárók"},
    {"name": "Berendezés"},
    {"name": "Ideiglenes"},
    {"name": "Bontandó"},
    {"name": "Meglévő", "locked": True},
    {"name": "2D rajz"},
    {"name": "Segédvonalak", "hidden": True},
]

# name, surface colour, transparency. Indexes below count from 1 in this order.
MATERIALS = [
    ("Beton", (0.70, 0.70, 0.68), 0),
    ("Tégla", (0.72, 0.36, 0.24), 0),
    ("Vakolat, fehér", (0.93, 0.92, 0.88), 0),
    ("Cserép", (0.62, 0.22, 0.14), 0),
    ("Fenyőfa", (0.80, 0.62, 0.40), 0),
    ("Üveg", (0.60, 0.80, 0.90), 70),
    ("Acél", (0.55, 0.57, 0.60), 0),
    ("Füves terep", (0.35, 0.55, 0.25), 0),
    ("Hullámlemez", (0.50, 0.50, 0.52), 0),
    ("Terméskő", (0.60, 0.58, 0.52), 0),
    ("Kárpit, szürke", (0.45, 0.45, 0.48), 0),
    ("Tölgy parketta", (0.66, 0.48, 0.30), 0),
    ("Deszka, öreg", (0.48, 0.40, 0.32), 0),
    ("Térkő", (0.62, 0.60, 0.58), 0),
]
M = {name: i + 1 for i, (name, _, _) in enumerate(MATERIALS)}

# The first pens of the table; the host fills the rest with its defaults.
PENS = [
    {"color": [0, 0, 0], "width": 0.35},          # 1 contours
    {"color": [0.25, 0.25, 0.25], "width": 0.18},  # 2 thin lines
    {"color": [0.55, 0.55, 0.55], "width": 0.13},  # 3 section fills
    {"color": [0.45, 0.28, 0.12], "width": 0.18},  # 4 timber
    {"color": [0.80, 0.10, 0.10], "width": 0.25},  # 5 to be demolished
    {"color": [0.15, 0.50, 0.15], "width": 0.18},  # 6 landscape
    {"color": [0.10, 0.30, 0.75], "width": 0.18},  # 7 glazing
    {"color": [0.90, 0.50, 0.10], "width": 0.25},  # 8 temporary work
]

elements = []


def box(x0, y0, z0, x1, y1, z1):
    return {"min": [x0, y0, z0], "max": [x1, y1, z1]}


def add(id_, kind, layer, record, floor=0, **extra):
    e = {"id": id_, "kind": kind, "layer": layer}
    if floor:
        e["floor"] = floor
    e["record"] = record
    e.update(extra)
    elements.append(e)


def wall(id_, layer, b, mats, pens=(1, 3), flags=(1, 1, 1), floor=0):
    add(id_, 1, layer, {"i16": {"104": pens[0], "112": pens[1], "118": mats[0], "120": mats[1], "122": mats[2]},
                        "u8": {"131": flags[0], "132": flags[1], "133": flags[2]}}, floor, box=b)


def slab(id_, layer, b, mats, floor=0):
    add(id_, 8, layer, {"i16": {"104": 1, "114": 3, "110": 2, "118": mats[0], "120": mats[1], "122": mats[2]}},
        floor, box=b)


def opening(id_, kind, b, pen, mat, flags, floor=0):
    add(id_, kind, "Nyílászárók", {"i16": {"104": pen, "108": mat}, "u8": {"120": flags[0], "122": flags[1]}},
        floor, box=b)


def thing(id_, kind, layer, b, pen, mat, flags=(1, 1), floor=0):
    add(id_, kind, layer, {"i16": {"104": pen, "108": mat}, "u8": {"120": flags[0], "122": flags[1]}}, floor, box=b)


# Site and substructure.
add("TER-01", 10, "Terep",
    {"i16": {"104": 6, "116": 2, "112": 2, "192": 6, "118": M["Füves terep"], "120": M["Füves terep"],
             "122": M["Füves terep"]}},
    locked=True, box=box(-6, -6, -0.6, 21, 14, -0.05))
slab("ALP-01", "Szerkezet", box(-0.1, -0.1, -0.4, 10.1, 8.1, 0), (M["Beton"], M["Beton"], M["Beton"]))
slab("TRS-01", "Szerkezet", box(6, -2.5, -0.05, 10, 0, 0.15), (M["Térkő"], M["Beton"], M["Beton"]))

# Ground floor shell: south, east, north, west, then the partition between living room and kitchen.
ext = (M["Vakolat, fehér"], M["Vakolat, fehér"], M["Tégla"])
wall("FAL-01", "Szerkezet", box(0, 0, 0, 10, 0.3, 2.9), ext)
wall("FAL-02", "Szerkezet", box(9.7, 0.3, 0, 10, 7.7, 2.9), ext)
wall("FAL-03", "Szerkezet", box(0, 7.7, 0, 10, 8, 2.9), ext)
wall("FAL-04", "Szerkezet", box(0, 0.3, 0, 0.3, 7.7, 2.9), ext)
wall("FAL-05", "Szerkezet", box(0.3, 4.4, 0, 6, 4.55, 2.9),
     (M["Vakolat, fehér"], M["Vakolat, fehér"], M["Vakolat, fehér"]), pens=(1, 2), flags=(1, 1, 0))
slab("FOD-01", "Szerkezet", box(0, 0, 2.9, 10, 8, 3.1), (M["Tölgy parketta"], M["Vakolat, fehér"], M["Beton"]))
# Upper floor shell and the partition between the bedrooms.
wall("FAL-06", "Szerkezet", box(0, 0, 3.1, 10, 0.3, 5.9), ext, floor=1)
wall("FAL-07", "Szerkezet", box(9.7, 0.3, 3.1, 10, 7.7, 5.9), ext, floor=1)
wall("FAL-08", "Szerkezet", box(0, 7.7, 3.1, 10, 8, 5.9), ext, floor=1)
wall("FAL-09", "Szerkezet", box(0, 0.3, 3.1, 0.3, 7.7, 5.9), ext, floor=1)
wall("FAL-10", "Szerkezet", box(5, 0.3, 3.1, 5.15, 7.7, 5.9),
     (M["Vakolat, fehér"], M["Vakolat, fehér"], M["Vakolat, fehér"]), pens=(1, 2), flags=(1, 1, 0), floor=1)

# Porch over the terrace: two timber-clad columns carrying two beams.
for id_, x in (("OSZ-01", 6.1), ("OSZ-02", 9.6)):
    add(id_, 2, "Szerkezet", {"i16": {"104": 1, "108": 1, "204": 3, "112": 2, "124": M["Beton"]}},
        box=box(x, -2.4, 0.15, x + 0.25, -2.15, 2.7))
beam = {"104": 1, "112": 2, "114": 2, "108": 1, "294": 3}
beam.update({str(off): M["Fenyőfa"] for off in (120, 122, 124, 126, 128)})
add("GER-01", 3, "Szerkezet", {"i16": dict(beam)}, box=box(6, -2.45, 2.7, 10, -2.1, 2.9))
add("GER-02", 3, "Szerkezet", {"i16": dict(beam)}, box=box(9.6, -2.1, 2.7, 9.85, 0, 2.9))

# Gable roof with 0.5 m eaves; ridge along x.
add("TET-01", 9, "Tető",
    {"i16": {"104": 1, "114": 3, "110": 2, "312": 4, "208": 2, "118": M["Cserép"], "120": M["Fenyőfa"],
             "122": M["Fenyőfa"]}},
    floor=1,
    mesh={"vertices": [[-0.5, -0.5, 5.9], [10.5, -0.5, 5.9], [10.5, 8.5, 5.9], [-0.5, 8.5, 5.9],
                       [-0.5, 4, 8], [10.5, 4, 8]],
          "triangles": [[0, 1, 5], [0, 5, 4], [2, 3, 4], [2, 4, 5], [3, 0, 4], [1, 2, 5], [0, 3, 2], [0, 2, 1]]})

# Windows and doors.
glass = M["Üveg"]
opening("ABL-01", 4, box(1, 0, 0.9, 2.5, 0.3, 2.3), 7, glass, (1, 1))
opening("ABL-02", 4, box(3.5, 0, 0.9, 5, 0.3, 2.3), 7, glass, (1, 1))
opening("ABL-03", 4, box(9.7, 2, 0.9, 10, 3.5, 2.3), 7, glass, (1, 1))
opening("ABL-04", 4, box(2, 7.7, 1.2, 3.2, 8, 2.3), 7, glass, (1, 1))
opening("ABL-05", 4, box(1.5, 0, 4, 3, 0.3, 5.4), 7, glass, (1, 1), floor=1)
opening("ABL-06", 4, box(6.5, 0, 4, 8, 0.3, 5.4), 7, glass, (1, 1), floor=1)
opening("ABL-07", 4, box(6, 7.7, 4.3, 7.2, 8, 5.4), 7, glass, (1, 1), floor=1)
wood = M["Fenyőfa"]
opening("AJT-01", 5, box(6.8, 0, 0, 7.8, 0.3, 2.2), 4, wood, (1, 0))
opening("AJT-02", 5, box(3, 4.4, 0, 3.9, 4.55, 2.1), 4, wood, (1, 0))
opening("AJT-03", 5, box(5, 3, 3.1, 5.15, 3.9, 5.2), 4, wood, (1, 0), floor=1)

# Furniture.
thing("BUT-01", 6, "Berendezés", box(1.5, 5.5, 0, 3.1, 6.4, 0.75), 2, M["Fenyőfa"])
thing("BUT-02", 6, "Berendezés", box(1, 1, 0, 3.2, 1.9, 0.85), 2, M["Kárpit, szürke"])
thing("BUT-03", 6, "Berendezés", box(5.5, 7.1, 0, 9.6, 7.7, 0.9), 2, M["Tölgy parketta"])
thing("BUT-04", 6, "Berendezés", box(1, 5, 3.1, 2.6, 7.1, 3.6), 2, M["Kárpit, szürke"], floor=1)
thing("BUT-05", 6, "Berendezés", box(3.5, 7.1, 3.1, 4.9, 7.7, 5.2), 2, M["Fenyőfa"], floor=1)
thing("BUT-06", 6, "Berendezés", box(6, 1, 3.1, 7.4, 1.7, 3.85), 2, M["Fenyőfa"], floor=1)
thing("LAM-01", 7, "Berendezés", box(2.1, 5.8, 2.4, 2.5, 6.1, 2.9), 2, M["Acél"], flags=(1, 0))

# Temporary work: scaffolding along the north and west facades, the site container.
thing("ALL-01", 6, "Ideiglenes", box(-0.5, 8.6, 0, 10.5, 9.6, 6.5), 8, M["Acél"], flags=(0, 0))
thing("ALL-02", 6, "Ideiglenes", box(-1.6, -0.5, 0, -0.6, 8.5, 6.5), 8, M["Acél"], flags=(0, 0))
thing("KON-01", 6, "Ideiglenes", box(17, 8, 0, 20, 10.5, 2.6), 8, M["Acél"], flags=(0, 0))

# The old timber shed east of the house, to be demolished.
boards = (M["Deszka, öreg"], M["Deszka, öreg"], M["Deszka, öreg"])
wall("FAL-11", "Bontandó", box(13, 2, 0, 16, 2.2, 2.4), boards, pens=(5, 4))
wall("FAL-12", "Bontandó", box(15.8, 2.2, 0, 16, 5, 2.4), boards, pens=(5, 4))
wall("FAL-13", "Bontandó", box(13, 4.8, 0, 15.8, 5, 2.4), boards, pens=(5, 4))
wall("FAL-14", "Bontandó", box(13, 2.2, 0, 13.2, 4.8, 2.4), boards, pens=(5, 4))
add("TET-02", 9, "Bontandó",
    {"i16": {"104": 5, "114": 4, "110": 4, "312": 5, "208": 4, "118": M["Hullámlemez"], "120": M["Deszka, öreg"],
             "122": M["Hullámlemez"]}},
    mesh={"vertices": [[12.8, 1.8, 2.4], [16.2, 1.8, 2.4], [16.2, 5.2, 2.4], [12.8, 5.2, 2.4],
                       [12.8, 1.8, 2.9], [16.2, 1.8, 2.9]],
          "triangles": [[0, 3, 2], [0, 2, 1], [4, 5, 2], [4, 2, 3], [0, 1, 5], [0, 5, 4], [0, 4, 3], [1, 2, 5]]})
add("AJT-04", 5, "Bontandó", {"i16": {"104": 5, "108": M["Deszka, öreg"]}, "u8": {"120": 0, "122": 0}},
    box=box(14, 1.95, 0, 15, 2.25, 2))

# The existing stone garden wall on the west boundary, to be renovated.
stone = (M["Terméskő"], M["Terméskő"], M["Terméskő"])
wall("FAL-15", "Meglévő", box(-4, -3, 0, -3.6, 11, 1.6), stone, pens=(2, 2), flags=(0, 0, 0))

# Drafting on the ground floor plan.
add("ZON-01", 17, "2D rajz", {"i16": {"104": 2}, "u8": {"108": 1}}, name="Nappali")
add("ZON-02", 17, "2D rajz", {"i16": {"104": 2}, "u8": {"108": 1}}, name="Konyha-étkező")
add("ZON-03", 17, "2D rajz", {"i16": {"104": 2}, "u8": {"108": 1}}, floor=1, name="Hálószoba")
add("SRA-01", 18, "2D rajz", {"i16": {"104": 2, "106": 3}})
add("VON-01", 19, "2D rajz", {"i16": {"104": 1, "118": 1}})
add("VON-02", 19, "2D rajz", {"i16": {"104": 1, "118": 1}})
add("VON-03", 19, "Segédvonalak", {"i16": {"104": 2, "118": 2}})
add("KOR-01", 22, "2D rajz", {"i16": {"104": 6}})
add("MER-01", 11, "2D rajz", {"i16": {"104": 2}})

# Camera paths: a closed walk round the house, and the approach from the street.
cameras, paths = [], []


def camera(index, path, next_, frames, eye, target):
    cameras.append({"id": "KAM-%02d" % index, "index": index, "layer": "2D rajz",
                    "record": {"i32": {"104": path, "108": next_}, "i16": {"112": frames}},
                    "eye": eye, "target": target})


def path(id_, index, first, ends_at_last, per_camera, active):
    # 104 inactive word, 108 first camera, 112 the walk ends at the last camera (else it loops), 113 active, 116 frames from camera to camera
    paths.append({"id": id_, "index": index, "layer": "2D rajz",
                  "record": {"i32": {"104": 0, "108": first, "116": per_camera},
                             "u8": {"112": 1 if ends_at_last else 0, "113": 1 if active else 0}}})


target = [5, 4, 3]
path("UTV-01", 1, 1, False, 8, True)
camera(1, 1, 2, 0, [-12, -14, 6], target)
camera(2, 1, 3, 2, [22, -14, 6], target)
camera(3, 1, 4, 0, [22, 22, 8], target)
camera(4, 1, 0, 0, [-12, 22, 8], target)
path("UTV-02", 2, 5, True, 12, False)
camera(5, 2, 6, 3, [8, -30, 1.7], [7, 0, 1.7])
camera(6, 2, 0, 0, [7.3, -4, 1.7], [7.3, 0, 1.7])

project = {
    "layers": LAYERS,
    "materials": [{"name": n, "ambient": 75, "diffuse": 75, "specular": 30, "transparency": t, "shine": 2500,
                   "surface": list(c)} for n, c, t in MATERIALS],
    "pens": PENS,
    "elements": elements,
    "cameras": cameras,
    "paths": paths,
    "view": {"eye": [-14, -18, 10], "target": [6, 4, 2.5], "up": [0, 0, 1], "fov": 45,
             "sun": {"azimuth": 135, "altitude": 40}},
    "windows": {"3d": {"width": 640, "height": 480, "background": [1, 1, 1]},
                "photo": {"width": 640, "height": 480, "background": [0.75, 0.85, 0.95]}},
}


def dump(v):
    return json.dumps(v, ensure_ascii=False, separators=(", ", ": "))


# One list entry a line keeps the file readable and its diffs small.
lines = ["{"]
keys = list(project)
for n, key in enumerate(keys):
    value = project[key]
    tail = "," if n + 1 < len(keys) else ""
    if isinstance(value, list):
        lines.append(' "%s": [' % key)
        lines += ["  " + dump(item) + ("," if i + 1 < len(value) else "") for i, item in enumerate(value)]
        lines.append(" ]" + tail)
    else:
        lines.append(' "%s": %s%s' % (key, dump(value), tail))
lines.append("}")

out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "house.qvp")
with open(out, "w", encoding="utf-8", newline="\n") as f:
    f.write("\n".join(lines) + "\n")
