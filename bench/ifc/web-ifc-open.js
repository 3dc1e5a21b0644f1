// Opens one IFC file with web-ifc as a viewer does, for bench_ifccompare: OpenModel, then
// StreamAllMeshes with every placed geometry's vertices and indexes taken out. Timed from
// OpenModel to the last mesh, without node's start, the file read or the module's Init.
//   node web-ifc-open.js WEB_IFC_DIR FILE
// prints one line: seconds products geometries triangles
"use strict";
const fs = require("fs");
const path = require("path");

async function main() {
    const [dir, file] = process.argv.slice(2);
    const WebIFC = require(path.join(dir, "web-ifc-api-node.js"));
    const api = new WebIFC.IfcAPI();
    api.SetWasmPath(dir + "/", true);
    await api.Init(undefined, true);
    api.SetLogLevel(WebIFC.LogLevel ? WebIFC.LogLevel.LOG_LEVEL_OFF : 6);
    const data = new Uint8Array(fs.readFileSync(file));

    const start = process.hrtime.bigint();
    const model = api.OpenModel(data);
    let products = 0, geometries = 0, triangles = 0;
    api.StreamAllMeshes(model, (mesh) => {
        ++products;
        const placed = mesh.geometries;
        for (let i = 0; i < placed.size(); ++i) {
            const geometry = api.GetGeometry(model, placed.get(i).geometryExpressID);
            const vertices = api.GetVertexArray(geometry.GetVertexData(), geometry.GetVertexDataSize()).slice();
            const indexes = api.GetIndexArray(geometry.GetIndexData(), geometry.GetIndexDataSize()).slice();
            geometry.delete();
            if (vertices.length === 0) continue;
            ++geometries;
            triangles += indexes.length / 3;
        }
    });
    const seconds = Number(process.hrtime.bigint() - start) / 1e9;
    api.CloseModel(model);
    console.log(`${seconds.toFixed(3)} ${products} ${geometries} ${triangles}`);
}

main().catch((e) => {
    console.error(e && e.stack ? e.stack : String(e));
    process.exit(1);
});
