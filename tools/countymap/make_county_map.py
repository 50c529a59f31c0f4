#!/usr/bin/env python3
"""Makes resources/map/home-counties.txt, the outlines of the home state's 67 counties that
Reports > Net Statistics draws, from the US Census Bureau's cartographic boundary files
(public domain) as the npm package us-atlas packages them (counties-10m.json, TopoJSON).

    npm pack us-atlas@3.0.1 && tar xzf us-atlas-3.0.1.tgz
    tools/countymap/make_county_map.py package/counties-10m.json > resources/map/home-counties.txt

Run once; the build reads only the text it writes. Each line: the county's file base name as
the county table has it, "|", then its rings separated by ";", each ring "x,y x,y ..." in whole
units of a box 1000 wide, north up (longitude scaled by the cosine of the state's middle
latitude). Shared borders are simplified once, arc by arc, so neighbours still meet."""
import hashlib, json, math, sys

STATE_FIPS = "01"  # the home state
INPUT_VERSION = "us-atlas 3.0.1"
TOLERANCE = 0.004  # degrees: about 400 m, finer than a county line drawn on a screen
WIDTH = 1000

# The county table's file base names where the Census spells them otherwise.
NAMES = {"DeKalb": "Dekalb", "St. Clair": "St Clair"}


def decode_arcs(topo):
    sx, sy = topo["transform"]["scale"]
    tx, ty = topo["transform"]["translate"]
    arcs = []
    for arc in topo["arcs"]:
        x = y = 0
        points = []
        for dx, dy in arc:
            x += dx
            y += dy
            points.append((x * sx + tx, y * sy + ty))
        arcs.append(points)
    return arcs


def simplify(points, tolerance):
    """Douglas-Peucker; the first and last points stay, so arcs still join."""
    if len(points) < 3:
        return points
    keep = [False] * len(points)
    keep[0] = keep[-1] = True
    stack = [(0, len(points) - 1)]
    while stack:
        a, b = stack.pop()
        (ax, ay), (bx, by) = points[a], points[b]
        dx, dy = bx - ax, by - ay
        length = math.hypot(dx, dy)
        best, far = -1.0, -1
        for i in range(a + 1, b):
            px, py = points[i]
            d = (abs(dy * px - dx * py + bx * ay - by * ax) / length) if length else math.hypot(px - ax, py - ay)
            if d > best:
                best, far = d, i
        if best > tolerance:
            keep[far] = True
            stack += [(a, far), (far, b)]
    return [p for p, k in zip(points, keep) if k]


def ring_points(ring, arcs):
    points = []
    for index in ring:
        arc = arcs[index] if index >= 0 else list(reversed(arcs[~index]))
        points.extend(arc if not points else arc[1:])
    return points


def main():
    raw = open(sys.argv[1], "rb").read()
    topo = json.loads(raw)
    arcs = [simplify(a, TOLERANCE) for a in decode_arcs(topo)]
    counties = [g for g in topo["objects"]["counties"]["geometries"] if g["id"].startswith(STATE_FIPS)]
    rings = {}
    for g in counties:
        polygons = g["arcs"] if g["type"] == "MultiPolygon" else [g["arcs"]]
        name = g["properties"]["name"]
        # Outer rings only: no county of the state has a hole another county fills.
        rings[NAMES.get(name, name)] = [ring_points(p[0], arcs) for p in polygons]
    lons = [x for rs in rings.values() for r in rs for x, _ in r]
    lats = [y for rs in rings.values() for r in rs for _, y in r]
    west, east, south, north = min(lons), max(lons), min(lats), max(lats)
    squeeze = math.cos(math.radians((south + north) / 2))
    scale = WIDTH / ((east - west) * squeeze)

    def project(x, y):
        return round((x - west) * squeeze * scale), round((north - y) * scale)

    print("# The home state's county outlines: US Census Bureau cartographic boundary files (public")
    print("# domain), as packaged in %s (counties-10m.json, sha256 %s)," % (INPUT_VERSION, hashlib.sha256(raw).hexdigest()))
    print("# simplified to %s degrees by tools/countymap/make_county_map.py. name|ring;ring, each" % TOLERANCE)
    print("# ring x,y x,y ... in a box %d wide, north up." % WIDTH)
    for name in sorted(rings):
        parts = []
        for ring in rings[name]:
            points = []
            for x, y in ring:
                p = project(x, y)
                if not points or points[-1] != p:
                    points.append(p)
            parts.append(" ".join("%d,%d" % p for p in points))
        print(name + "|" + ";".join(parts))


if __name__ == "__main__":
    main()
