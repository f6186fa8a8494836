// The browser build's speed beside the Linux build's, in one sitting on this machine: lantern
// bench --renderer shaders --json, then ?bench in headless Chromium (software WebGL), then the
// Linux bench again, so that a drift of the machine's speed shows. Prints each scene's p95 in
// both and the browser's over the mean of the two Linux runs; a scene over 1.5 is marked.
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

async function browserBench() {
    const { server, url } = await startServer(site);
    const browser = await launchBrowser(join(work, "profile"));
    try {
        const page = await browser.newPage(800, 600);
        await page.open(`${url}?bench&size=640x480&passes=${passes}`);
        const title = await page.waitForTitle(/^lantern: (bench done|error)/, 3600);
        if (title !== "lantern: bench done") throw new Error(`?bench ended in "${title}"`);
        return JSON.parse(await page.evaluate("document.getElementById('output').textContent"));
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
const web = keep("browser", await browserBench());
const after = keep("linuxAfter", linuxBench());

const byScene = (bench) => new Map(bench.scenes.map((scene) => [scene.scene, scene]));
const [first, second, browser] = [before, after, web].map(byScene);
console.log(`browser: ${web.renderer}`);
console.log(`Linux:   ${before.renderer}`);
console.log(`title's mean (the reference): Linux ${before.reference_mean_ms.toFixed(2)} and ` +
            `${after.reference_mean_ms.toFixed(2)} ms, browser ${web.reference_mean_ms.toFixed(2)} ms`);
console.log(`${"scene".padEnd(22)} ${"Linux p95".padStart(10)} ${"browser p95".padStart(12)} ${"ratio".padStart(7)}`);
let over = 0;
for (const [name, scene] of browser) {
    if (!first.has(name) || !second.has(name)) continue;
    const linux = (first.get(name).p95_ms + second.get(name).p95_ms) / 2;
    const ratio = scene.p95_ms / linux;
    if (ratio > 1.5) over++;
    console.log(`${name.padEnd(22)} ${linux.toFixed(2).padStart(10)} ${scene.p95_ms.toFixed(2).padStart(12)} ` +
                `${ratio.toFixed(2).padStart(7)}${ratio > 1.5 ? "  over 1.5" : ""}`);
}
const linuxPiece = (before.piece.p95_ms + after.piece.p95_ms) / 2;
console.log(`${"whole piece".padEnd(22)} ${linuxPiece.toFixed(2).padStart(10)} ${web.piece.p95_ms.toFixed(2).padStart(12)} ` +
            `${(web.piece.p95_ms / linuxPiece).toFixed(2).padStart(7)}`);
console.log(`${over} scenes over 1.5 times the Linux build's p95; figures in ${join(work, "bench.json")}`);
