// Headless Chromium driven over the DevTools protocol with node's own WebSocket (node
// --experimental-websocket): no npm packages. Software WebGL (SwiftShader unless asked
// otherwise), sound allowed to start without a click unless asked otherwise, and a new empty
// profile each time.
//   const browser = await launchBrowser(folder);   const page = await browser.newPage(800, 600);
//   await page.open(url); await page.waitForTitle(/^lantern: /, seconds); await page.screenshot(rect);
//   page.console: every console message, exception and log entry, as {level, text}
import { spawn } from "node:child_process";
import { existsSync, mkdirSync, readFileSync } from "node:fs";
import { join } from "node:path";
import { setTimeout as sleep } from "node:timers/promises";

const ChromiumFlags = [
    "--headless", "--no-sandbox", "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--no-first-run", "--remote-debugging-port=0",
];
// Who draws the WebGL: SwiftShader, the software renderer Chromium ships, as on a machine
// without a GPU; or the system's own OpenGL through EGL (here Mesa's llvmpipe, as the Linux
// build draws), which tells the browser's own cost from the rasterizer's.
const Rasterizers = {
    swiftshader: ["--use-angle=swiftshader", "--enable-unsafe-swiftshader"],
    system: ["--use-gl=angle", "--use-angle=gl-egl", "--ignore-gpu-blocklist"],
};

// soundBeforeClick: the browser lets sound start without a click (true), or holds it back
// until one, as browsers do by default. webgl: false makes a browser that offers none.
// rasterizer: a name in Rasterizers.
export async function launchBrowser(profileFolder, { soundBeforeClick = true, webgl = true, rasterizer = "swiftshader" } = {}) {
    mkdirSync(profileFolder, { recursive: true });
    const flags = [...ChromiumFlags, ...Rasterizers[rasterizer],
                   ...(soundBeforeClick ? ["--autoplay-policy=no-user-gesture-required"] : []),
                   ...(webgl ? [] : ["--disable-3d-apis"])];
    // A process group of its own, ended whole when this script ends, however it ends: a browser
    // left behind would go on drawing and take the machine's time from the next measurement.
    const chromium = spawn("chromium", [...flags, `--user-data-dir=${profileFolder}`, "about:blank"],
                          { stdio: ["ignore", "ignore", "pipe"], detached: true });
    const endGroup = () => {
        try {
            process.kill(-chromium.pid, "SIGKILL");
        } catch {
            // already ended
        }
    };
    process.on("exit", endGroup);
    let exited = null;
    chromium.on("exit", (code, signal) => { exited = signal ?? code; });
    let errorText = "";
    chromium.stderr.on("data", (chunk) => { errorText = (errorText + chunk).slice(-4000); });
    // Chromium names its port in this file once it listens.
    const portFile = join(profileFolder, "DevToolsActivePort");
    for (let waited = 0; !existsSync(portFile) || readFileSync(portFile, "utf8").split("\n").length < 2; waited += 100) {
        if (exited !== null || waited > 30000) {
            endGroup();
            throw new Error(`chromium did not start (${exited ?? "no port after 30 s"}): ${errorText}`);
        }
        await sleep(100);
    }
    const [port, path] = readFileSync(portFile, "utf8").split("\n");
    const socket = new WebSocket(`ws://127.0.0.1:${port}${path}`);
    await new Promise((resolve, reject) => {
        socket.onopen = resolve;
        socket.onerror = () => reject(new Error("cannot reach chromium's DevTools socket"));
    });
    return new Browser(socket, endGroup);
}

class Browser {
    constructor(socket, endGroup) {
        this.endGroup = endGroup;
        this.socket = socket;
        this.nextId = 1;
        this.waiting = new Map();
        this.listeners = new Map(); // sessionId -> handler(method, params)
        socket.onmessage = (event) => {
            const message = JSON.parse(event.data);
            if (message.id !== undefined) {
                const call = this.waiting.get(message.id);
                this.waiting.delete(message.id);
                if (message.error) call.reject(new Error(`${call.method}: ${message.error.message}`));
                else call.resolve(message.result);
            } else if (message.sessionId && this.listeners.has(message.sessionId)) {
                this.listeners.get(message.sessionId)(message.method, message.params);
            }
        };
    }

    send(method, params = {}, sessionId = undefined) {
        const id = this.nextId++;
        this.socket.send(JSON.stringify({ id, method, params, sessionId }));
        return new Promise((resolve, reject) => this.waiting.set(id, { resolve, reject, method }));
    }

    // A tab of width x height CSS pixels at one device pixel each.
    async newPage(width, height) {
        const { targetId } = await this.send("Target.createTarget", { url: "about:blank" });
        const { sessionId } = await this.send("Target.attachToTarget", { targetId, flatten: true });
        const page = new Page(this, targetId, sessionId);
        this.listeners.set(sessionId, (method, params) => page.event(method, params));
        for (const domain of ["Runtime", "Log", "Page"]) await page.send(`${domain}.enable`);
        await page.send("Emulation.setDeviceMetricsOverride", { width, height, deviceScaleFactor: 1, mobile: false });
        return page;
    }

    async close() {
        try {
            await Promise.race([this.send("Browser.close"), sleep(5000)]);
        } catch {
            // already gone
        }
        this.socket.close();
        this.endGroup();
    }
}

class Page {
    constructor(browser, targetId, sessionId) {
        this.browser = browser;
        this.targetId = targetId;
        this.sessionId = sessionId;
        this.console = [];
    }

    send(method, params = {}) {
        return this.browser.send(method, params, this.sessionId);
    }

    event(method, params) {
        if (method === "Runtime.consoleAPICalled") {
            const text = params.args.map((arg) => arg.value ?? arg.description ?? "").join(" ");
            this.console.push({ level: params.type, text });
        } else if (method === "Runtime.exceptionThrown") {
            const details = params.exceptionDetails;
            this.console.push({ level: "error", text: details.exception?.description ?? details.text });
        } else if (method === "Log.entryAdded") {
            this.console.push({ level: params.entry.level, text: `${params.entry.text} ${params.entry.url ?? ""}`.trim() });
        }
    }

    errors() {
        return this.console.filter((entry) => entry.level === "error");
    }

    async open(url) {
        this.console.length = 0;
        await this.send("Page.navigate", { url });
    }

    async evaluate(expression) {
        const { result, exceptionDetails } = await this.send("Runtime.evaluate", { expression, returnByValue: true });
        if (exceptionDetails) throw new Error(`${expression}: ${exceptionDetails.text}`);
        return result.value;
    }

    // Waits until the expression's value is truthy, and returns it; throws when the time is up,
    // saying what the page's title was.
    async waitFor(expression, seconds) {
        const until = Date.now() + seconds * 1000;
        for (;;) {
            let value = null;
            try {
                value = await this.evaluate(expression);
            } catch {
                value = null; // the page is still being replaced
            }
            if (value) return value;
            if (Date.now() > until) {
                const title = await this.evaluate("document.title").catch(() => "");
                throw new Error(`after ${seconds} s, no ${expression} (the title is "${title}")`);
            }
            await sleep(100);
        }
    }

    // Waits until the title matches; the title then.
    async waitForTitle(pattern, seconds) {
        return this.waitFor(`(${pattern}).test(document.title) && document.title`, seconds);
    }

    // A click of the left button at the middle of the element the selector finds, as a person
    // makes it (a user gesture, which lets sound start).
    async click(selector) {
        const box = await this.evaluate(
            `(({x, y, width, height}) => ({x, y, width, height}))(document.querySelector(${JSON.stringify(selector)}).getBoundingClientRect())`);
        for (const type of ["mousePressed", "mouseReleased"])
            await this.send("Input.dispatchMouseEvent",
                            { type, x: box.x + box.width / 2, y: box.y + box.height / 2, button: "left", clickCount: 1 });
    }

    // A PNG of the page's pixels inside rect ({x, y, width, height} in CSS pixels), as a Buffer.
    async screenshot(rect) {
        const { data } = await this.send("Page.captureScreenshot", { format: "png", clip: { ...rect, scale: 1 } });
        return Buffer.from(data, "base64");
    }

    async close() {
        await this.browser.send("Target.closeTarget", { targetId: this.targetId });
    }
}
