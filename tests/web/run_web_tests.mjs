// The browser build in headless Chromium, as a visitor's browser runs it, served on localhost:
//  1. ?shot=MS&size=640x480 at four times across the piece draws on the canvas what the Linux
//     build's shot draws with the same renderer: a mean difference of at most 2 levels and at
//     most 1 % of the pixels off by more than 16;
//  2. ?start=298 plays to the end of the piece ("lantern: ended") with the audio context
//     running and the music clock advancing with the time that passes, and the replay button
//     plays it again;
//  3. none of those pages logs an error;
//  4. a data package that is missing, cut short or damaged is told on the page, naming it, and
//     so is a browser without WebGL;
//  5. where the browser holds sound back until a click, the page asks for one and nothing
//     plays before it; after it the piece plays with its sound running.
//   node --experimental-websocket run_web_tests.mjs SITE LINUX_LANTERN LINUX_DATA_FOLDER WORK_FOLDER
import { launchBrowser } from "./browser.mjs";
import { startServer } from "../../web/serve.mjs";
import { spawnSync } from "node:child_process";
import { copyFileSync, mkdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { dirname, join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { setTimeout as sleep } from "node:timers/promises";

const [site, linuxLantern, linuxData, work] = process.argv.slice(2).map((path) => path && resolve(path));
if (!work) {
    console.error("usage: node --experimental-websocket run_web_tests.mjs SITE LINUX_LANTERN LINUX_DATA_FOLDER WORK_FOLDER");
    process.exit(2);
}
if (typeof WebSocket !== "function") {
    console.error(`FAIL: node ${process.version} has no WebSocket: node 20.10 or later, with --experimental-websocket`);
    process.exit(1);
}
const here = dirname(fileURLToPath(import.meta.url));
const compareShots = join(here, "..", "support", "compare_shots.py");

let passed = 0;
let failed = 0;
const ok = (text) => { console.log(`ok: ${text}`); passed++; };
const fail = (text) => { console.log(`FAIL: ${text}`); failed++; };
const seconds = (start) => ((Date.now() - start) / 1000).toFixed(1);

rmSync(work, { recursive: true, force: true });
mkdirSync(join(work, "shots"), { recursive: true });
const started = Date.now();
const { server, url } = await startServer(site);
const browser = await launchBrowser(join(work, "profile"));
const page = await browser.newPage(800, 600);

let pagesWithErrors = 0;
// Errors the page logged since it was opened: each different one once, with how often.
function pageErrors() {
    const counts = new Map();
    for (const entry of page.errors()) {
        const line = entry.text.split("\n")[0];
        counts.set(line, (counts.get(line) ?? 0) + 1);
    }
    return [...counts].slice(0, 5).map(([line, count]) => (count > 1 ? `${line} (${count} times)` : line));
}

try {
    // 1. Shots: the canvas's own pixels, 640x480 CSS pixels at one device pixel each.
    for (const ms of [9056, 62000, 168000, 278000]) {
        const step = Date.now();
        const linuxShot = join(work, "shots", `linux_${ms}.png`);
        const webShot = join(work, "shots", `web_${ms}.png`);
        const linux = spawnSync(linuxLantern, ["shot", String(ms), linuxShot, "--data", linuxData, "--renderer", "shaders"],
                                { env: { ...process.env, SDL_VIDEODRIVER: "offscreen", SDL_AUDIODRIVER: "dummy" },
                                  encoding: "utf8" });
        if (linux.status !== 0) {
            fail(`the Linux build wrote no shot at ${ms} ms: ${linux.stderr}`);
            continue;
        }
        await page.open(`${url}?shot=${ms}&size=640x480`);
        try {
            await page.waitForTitle(new RegExp(`^lantern: (shot ${ms}$|error)`), 300);
        } catch (error) {
            fail(`?shot=${ms}: ${error.message}`);
            continue;
        }
        const title = await page.evaluate("document.title");
        if (title !== `lantern: shot ${ms}`) {
            fail(`?shot=${ms} ended in "${title}"`);
            continue;
        }
        const rect = await page.evaluate(
            "(({x, y, width, height}) => ({x, y, width, height}))(document.getElementById('lantern').getBoundingClientRect())");
        writeFileSync(webShot, await page.screenshot(rect));
        const compared = spawnSync("python3", [compareShots, "--pixels", "--mean", "2", "--far", "16", "--share", "1",
                                               linuxShot, webShot], { encoding: "utf8" });
        const figures = compared.stdout.trim();
        if (compared.status === 0) ok(`?shot=${ms} matches the Linux build's shot (${figures}; ${seconds(step)} s)`);
        else fail(`?shot=${ms} differs from the Linux build's shot: ${figures}${compared.stderr}`);
        const errors = pageErrors();
        if (errors.length) {
            fail(`?shot=${ms} logged errors: ${errors.join(" | ")}`);
            pagesWithErrors++;
        }
    }

    // 2. The end of the piece, with sound: the clock read twice a second apart.
    {
        const step = Date.now();
        await page.open(`${url}?start=298`);
        try {
            await page.waitFor("window.lanternMusicMs !== undefined || document.title.startsWith('lantern: ')", 300);
            const clock = "JSON.stringify({ms: window.lanternMusicMs, state: window.lanternAudioState})";
            const first = JSON.parse(await page.evaluate(clock));
            const firstAt = Date.now();
            await sleep(1000);
            const second = JSON.parse(await page.evaluate(clock));
            const elapsed = Date.now() - firstAt;
            const advanced = second.ms - first.ms;
            if (first.state === "running" && second.state === "running" && advanced > elapsed * 0.5 &&
                advanced < elapsed * 1.5)
                ok(`?start=298 plays with the audio context running: the music clock went from ${first.ms} to ` +
                   `${second.ms} ms in ${elapsed} ms`);
            else fail(`?start=298: the clock went from ${JSON.stringify(first)} to ${JSON.stringify(second)} in ${elapsed} ms`);
            const title = await page.waitForTitle(/^lantern: (ended|error)/, 120);
            if (title === "lantern: ended") ok(`?start=298 played to the end of the piece (${seconds(step)} s)`);
            else fail(`?start=298 ended in "${title}"`);
            // The replay button plays it again, from the same start, in the same page.
            if (title === "lantern: ended") {
                const replay = Date.now();
                await page.click("#replay");
                // A new run: the title no longer says the last one ended, the clock is back at the start.
                await page.waitFor("!document.title.startsWith('lantern: ') && window.lanternMusicMs >= 298000 && " +
                                   "window.lanternMusicMs < 299000", 60);
                const again = await page.waitForTitle(/^lantern: (ended|error)/, 120);
                if (again === "lantern: ended") ok(`the replay button played it to the end again (${seconds(replay)} s)`);
                else fail(`the replay ended in "${again}"`);
            }
        } catch (error) {
            fail(`?start=298: ${error.message}`);
        }
        const errors = pageErrors();
        if (errors.length) fail(`?start=298 logged errors: ${errors.join(" | ")}`);
        else if (pagesWithErrors === 0) ok("no page logged an error");
    }

    // 4. The data package missing, cut short and damaged: each a site of its own.
    const whole = readFileSync(join(site, "lantern.data"));
    const flipped = Buffer.from(whole);
    flipped[flipped.length - 1000] ^= 0x40;
    const packages = {
        missing: null,
        "cut short": whole.subarray(0, whole.length - 4096),
        damaged: flipped,
    };
    for (const [kind, bytes] of Object.entries(packages)) {
        const folder = join(work, `site-${kind.replace(" ", "-")}`);
        mkdirSync(folder, { recursive: true });
        for (const name of ["index.html", "page.js", "lantern.js", "lantern.wasm"])
            copyFileSync(join(site, name), join(folder, name));
        if (bytes) writeFileSync(join(folder, "lantern.data"), bytes);
        const other = await startServer(folder);
        await page.open(other.url);
        try {
            const title = await page.waitForTitle(/^lantern: /, 60);
            const shown = await page.evaluate("document.getElementById('message').textContent");
            if (title.startsWith("lantern: error: ") && title.includes("lantern.data") && shown.includes("lantern.data"))
                ok(`a ${kind} data package is told on the page: ${shown}`);
            else fail(`a ${kind} data package: title "${title}", message "${shown}"`);
        } catch (error) {
            fail(`a ${kind} data package: ${error.message}`);
        }
        other.server.close();
    }
    {
        const bare = await launchBrowser(join(work, "profile-no-webgl"), { webgl: false });
        try {
            const barePage = await bare.newPage(800, 600);
            await barePage.open(url);
            const title = await barePage.waitForTitle(/^lantern: /, 60);
            if (/^lantern: error: .*WebGL/.test(title)) ok(`a browser without WebGL is told so on the page: ${title}`);
            else fail(`a browser without WebGL: the title is "${title}"`);
        } catch (error) {
            fail(`a browser without WebGL: ${error.message}`);
        } finally {
            await bare.close();
        }
    }

    // 5. A browser that holds sound back until a click: its own profile.
    {
        const step = Date.now();
        const held = await launchBrowser(join(work, "profile-held"), { soundBeforeClick: false });
        try {
            const heldPage = await held.newPage(800, 600);
            await heldPage.open(`${url}?start=290`);
            await heldPage.waitFor("!document.getElementById('start').hidden", 60);
            await sleep(2000);
            const before = await heldPage.evaluate("String(window.lanternMusicMs)");
            await heldPage.click("#play");
            await heldPage.waitFor("window.lanternMusicMs > 291000 && window.lanternAudioState === 'running'", 300);
            if (before === "undefined") ok(`the page asked for a click, played nothing before it and played after it (${seconds(step)} s)`);
            else fail(`before the click the music clock was already at ${before}`);
        } catch (error) {
            fail(`a browser that waits for a click: ${error.message}`);
        } finally {
            await held.close();
        }
    }
} finally {
    await browser.close();
    server.close();
}
console.log(`web tests: ${seconds(started)} s`);
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed > 0 ? 1 : 0);
