// The browser build's speed beside the Linux build's, in one sitting on this machine: lantern
// bench --renderer shaders --json, then ?bench in headless Chromium with WebGL drawn by
// SwiftShader (as on a machine without a GPU), then again with WebGL drawn by the system's
// OpenGL (llvmpipe, the Linux build's own rasterizer: what is left is the browser's cost), then
// the Linux bench again, so that a drift of the machine's speed shows. Prints each scene's p95
// in each and the browsers' over the mean of the two Linux runs; a SwiftShader scene over 1.5
// is marked.
//   node --experimental-websocket bench.mjs SITE LINUX_LANTERN LINUX_DATA_FOLDER WORK_FOLDER [PASSES]
import { launchBrowser } from "./browser.mjs";
import { startServer } from "../../web/serve.mjs";
import { spawnSync } from "node:child_process";
import { mkdirSync, rmSync, writeFileSync } from "node:fs";
import { join, resolve } from "node:path";

const [site, linuxLantern, linuxData, work] = process.argv.slice(2, 6).map((path) => path && resolve(path));
const passes = process.argv[6] ?? "3";
if (!work) {
    console.error("usage: node --experimental-websocket bench.mjs SITE LINUX_LANTERN LINUX_DATA_FOLDER WORK_FOLDER [PASSES]");
    process.exit(2);
}
rmSync(work, { recursive: true, force: true });
mkdirSync(work, { recursive: true });

function linuxBench() {
    const run = spawnSync(linuxLantern, ["bench", "--json", "--renderer", "shaders", "--passes", passes, "--data", linuxData],
                          { env: { ...process.env, SDL_VIDEODRIVER: "offscreen", SDL_AUDIODRIVER: "dummy" },
                            encoding: "utf8", maxBuffer: 1 << 24 });
    if (run.status !== 0) throw new Error(`lantern bench failed: ${run.stderr}`);
    return JSON.parse(run.stdout);
}

// ?bench in a browser whose WebGL the rasterizer draws; the result with the name of what drew it.
async function browserBench(rasterizer) {
    const { server, url } = await startServer(site);
    const browser = await launchBrowser(join(work, `profile-${rasterizer}`), { rasterizer });
    try {
        const page = await browser.newPage(800, 600);
        await page.open(`${url}?bench&size=640x480&passes=${passes}`);
        const title = await page.waitForTitle(/^lantern: (bench done|error)/, 3600);
        if (title !== "lantern: bench done") throw new Error(`?bench ended in "${title}"`);
        const result = JSON.parse(await page.evaluate("document.getElementById('output').textContent"));
        result.drawn_by = await page.evaluate(
            "(() => { const gl = document.createElement('canvas').getContext('webgl2'); " +
            "const info = gl.getExtension('WEBGL_debug_renderer_info'); " +
            "return info ? gl.getParameter(info.UNMASKED_RENDERER_WEBGL) : 'unknown'; })()");
        return result;
    } finally {
        await browser.close();
        server.close();
    }
}

// Each result is kept as it comes.
const results = {};
const keep = (name, result) => {
    results[name] = result;
    writeFileSync(join(work, "bench.json"), JSON.stringify(results, null, 1));
    return result;
};
const before = keep("linuxBefore", linuxBench());
const web = keep("browser", await browserBench("swiftshader"));
const webOnSystem = keep("browserOnSystemGl", await browserBench("system"));
const after = keep("linuxAfter", linuxBench());

const byScene = (bench) => new Map(bench.scenes.map((scene) => [scene.scene, scene]));
const [first, second, browser, onSystem] = [before, after, web, webOnSystem].map(byScene);
console.log(`browser:              ${web.renderer}, drawn by ${web.drawn_by}`);
console.log(`browser on system GL: drawn by ${webOnSystem.drawn_by}`);
console.log(`Linux:                ${before.renderer}`);
console.log(`title's mean (the reference): Linux ${before.reference_mean_ms.toFixed(2)} and ` +
            `${after.reference_mean_ms.toFixed(2)} ms, browser ${web.reference_mean_ms.toFixed(2)} ms, ` +
            `browser on system GL ${webOnSystem.reference_mean_ms.toFixed(2)} ms`);
console.log(`${"scene".padEnd(22)} ${"Linux p95".padStart(10)} ${"browser p95".padStart(12)} ${"ratio".padStart(7)}` +
            ` ${"on system GL".padStart(13)} ${"ratio".padStart(7)}`);
const row = (name, linux, swiftShader, systemGl) => {
    const ratio = swiftShader / linux;
    console.log(`${name.padEnd(22)} ${linux.toFixed(2).padStart(10)} ${swiftShader.toFixed(2).padStart(12)} ` +
                `${ratio.toFixed(2).padStart(7)} ${systemGl.toFixed(2).padStart(13)} ` +
                `${(systemGl / linux).toFixed(2).padStart(7)}${ratio > 1.5 ? "  over 1.5" : ""}`);
    return ratio;
};
let over = 0;
for (const [name, scene] of browser) {
    if (!first.has(name) || !second.has(name) || !onSystem.has(name)) continue;
    const linux = (first.get(name).p95_ms + second.get(name).p95_ms) / 2;
    if (row(name, linux, scene.p95_ms, onSystem.get(name).p95_ms) > 1.5) over++;
}
row("whole piece", (before.piece.p95_ms + after.piece.p95_ms) / 2, web.piece.p95_ms, webOnSystem.piece.p95_ms);
console.log(`${over} scenes over 1.5 times the Linux build's p95 on SwiftShader; figures in ${join(work, "bench.json")}`);
