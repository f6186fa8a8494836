// The page of the piece: fetches the data package (lantern.data) with its progress shown,
// asks for a click where the browser holds sound back until one, then starts the program
// (lantern.js and lantern.wasm) on <canvas id="lantern"> with the options of the address:
//   ?start=SECONDS  ?av-offset=MS  ?size=WxH      play, as lantern's options of those names
//   ?shot=MS                                      draw the frame at MS and stop
//   ?bench[&frames=N][&passes=N][&scene=NAME]...  time every scene, print the JSON
// Scripts that drive the page read document.title ("lantern: shot MS", "lantern: ended",
// "lantern: bench done", "lantern: error: <message>"), and while the piece plays
// window.lanternMusicMs and window.lanternAudioState.
"use strict";

(() => {
    const packageName = "lantern.data";
    const query = new URLSearchParams(location.search);
    const canvas = document.getElementById("lantern");
    const stage = document.getElementById("stage");
    const fullScreenButton = document.getElementById("fullscreen");
    const output = document.getElementById("output");
    const screens = ["start", "loader", "ended", "failure"].map((id) => document.getElementById(id));

    function show(id) {
        for (const screen of screens) screen.hidden = screen.id !== id;
    }

    let failed = false;
    function fail(message) {
        if (failed) return;
        failed = true;
        document.title = "lantern: error: " + message;
        document.getElementById("message").textContent = message;
        fullScreenButton.hidden = true;
        if (document.fullscreenElement) document.exitFullscreen();
        show("failure");
    }

    // What the address asks for, as the program's command line.
    const mode = query.has("shot") ? "shot" : query.has("bench") ? "bench" : "play";
    const size = query.get("size");
    // WebGL has only the renderer on shaders.
    function programArguments() {
        const sizeArguments = ["--renderer", "shaders", ...(size ? ["--size", size] : [])];
        if (mode === "shot") return ["shot", query.get("shot"), "/shot.png", ...sizeArguments];
        if (mode === "bench") {
            const bench = ["bench", "--json", ...sizeArguments];
            for (const name of ["frames", "passes"]) if (query.has(name)) bench.push("--" + name, query.get(name));
            for (const scene of query.getAll("scene")) bench.push("--scene", scene);
            return bench;
        }
        // The page is the window: the picture follows it unless a size is asked for.
        const play = ["--windowed", "--renderer", "shaders", "--size", size ?? "native"];
        for (const name of ["start", "av-offset"]) if (query.has(name)) play.push("--" + name, query.get(name));
        return play;
    }

    // A canvas of the size asked for, in CSS pixels; without one it fills the page.
    if (size) {
        const match = /^(\d{1,5})x(\d{1,5})$/.exec(size);
        if (match) {
            canvas.style.width = match[1] + "px";
            canvas.style.height = match[2] + "px";
        }
    }

    // zlib's CRC-32, which the package's header gives for its files' bytes.
    const crcTable = new Uint32Array(256).map((_, n) => {
        let c = n;
        for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
        return c >>> 0;
    });
    function crc32(bytes) {
        let c = 0xffffffff;
        for (let i = 0; i < bytes.length; i++) c = crcTable[(c ^ bytes[i]) & 0xff] ^ (c >>> 8);
        return (c ^ 0xffffffff) >>> 0;
    }

    // The package's files, checked whole: [[path, bytes], ...]. Fails naming the package.
    async function loadPackage(progress) {
        let response;
        try {
            response = await fetch(packageName, { cache: "no-cache" });
        } catch (error) {
            throw new Error(`${packageName} could not be loaded: the connection failed`);
        }
        if (!response.ok)
            throw new Error(`${packageName} could not be loaded: HTTP ${response.status} ${response.statusText}`.trim());
        const expected = Number(response.headers.get("Content-Length")) || 0;
        const reader = response.body.getReader();
        const chunks = [];
        let received = 0;
        for (;;) {
            let part;
            try {
                part = await reader.read();
            } catch (error) {
                throw new Error(`${packageName} could not be loaded: the connection broke after ${received} bytes`);
            }
            if (part.done) break;
            chunks.push(part.value);
            received += part.value.length;
            progress(received, expected);
        }
        const whole = new Uint8Array(received);
        let at = 0;
        for (const chunk of chunks) {
            whole.set(chunk, at);
            at += chunk.length;
        }
        const damaged = (fault) => new Error(`${packageName} is damaged: ${fault}`);
        const end = whole.indexOf(10);
        let header = null;
        try {
            header = JSON.parse(new TextDecoder().decode(whole.subarray(0, end)));
        } catch (error) {
            header = null;
        }
        if (end < 0 || !header || header.format !== "lantern-data 1" || !Array.isArray(header.files))
            throw damaged("it does not begin with the header of a lantern data package");
        const body = whole.subarray(end + 1);
        if (body.length !== header.bytes)
            throw damaged(`it holds ${body.length} bytes of files where its header says ${header.bytes}`);
        if (crc32(body) !== header.crc32) throw damaged("its files' bytes are not those it was made with (CRC-32)");
        return header.files.map(([path, offset, length]) => {
            if (typeof path !== "string" || !path.startsWith("Data/") || path.includes("..") ||
                !(offset >= 0 && length >= 0 && offset + length <= body.length))
                throw damaged(`its header lists a file it cannot hold (${String(path)})`);
            return [path, body.subarray(offset, offset + length)];
        });
    }

    // The sound's context. Made at once, it runs where the browser lets sound start without a
    // click; otherwise the click on the start screen resumes it.
    let audio = null;
    function audioContext() {
        const Context = window.AudioContext || window.webkitAudioContext;
        if (Context && (!audio || audio.state === "closed")) audio = new Context();
        return audio;
    }

    function toggleFullScreen() {
        if (document.fullscreenElement) document.exitFullscreen();
        else if (stage.requestFullscreen) stage.requestFullscreen().catch(() => {});
    }
    fullScreenButton.addEventListener("click", () => {
        toggleFullScreen();
        canvas.focus();
    });
    // Captured before the program's own keys: F turns full screen on and off, and the Escape
    // that leaves full screen does not also end the piece.
    window.addEventListener("keydown", (event) => {
        if (mode !== "play" || event.ctrlKey || event.altKey || event.metaKey) return;
        if (event.key === "f" || event.key === "F") {
            toggleFullScreen();
            event.stopPropagation();
        } else if (event.key === "Escape" && document.fullscreenElement) {
            event.stopPropagation();
        }
    }, true);

    // One run of the program in a fresh instance: the files placed under /Data before main.
    const errorLines = [];
    async function startRun(files) {
        show("loader");
        document.getElementById("loading").textContent = "Starting";
        let lantern;
        try {
            lantern = await createLantern({
                canvas,
                SDL2: mode === "play" && audio ? { audioContext: audio } : undefined,
                print: (line) => {
                    console.log(line);
                    if (mode === "bench") output.textContent += line + "\n";
                },
                printErr: (line) => {
                    console.warn(line);
                    errorLines.push(line);
                },
                preRun: [
                    (module) => {
                        for (const [path, bytes] of files) {
                            module.FS.mkdirTree("/" + path.slice(0, path.lastIndexOf("/")));
                            module.FS.writeFile("/" + path, bytes);
                        }
                    },
                ],
                // A fault of the program itself (an abort, an exception it did not catch).
                onAbort: (what) => fail(`lantern stopped: ${errorLines.slice(-2).join("\n") || what}`),
                lanternShowMessage: (text, caption, isError) => {
                    if (isError) fail(text);
                },
                lanternEnded: (code) => {
                    fullScreenButton.hidden = true;
                    if (document.fullscreenElement) document.exitFullscreen();
                    if (code !== 0) {
                        fail(errorLines.slice(-3).join("\n") || `the piece stopped with exit code ${code}`);
                        return;
                    }
                    document.title = "lantern: ended";
                    show("ended");
                },
            });
        } catch (error) {
            fail(`lantern.wasm could not be started: ${error.message ?? error}`);
            return;
        }
        show(null);
        // A replay's title no longer says the last run ended.
        document.title = "lantern";
        if (mode === "play") fullScreenButton.hidden = false;
        output.hidden = mode !== "bench";
        canvas.focus();
        errorLines.length = 0;
        let code = 1;
        try {
            code = lantern.callMain(programArguments());
        } catch (error) {
            fail(`lantern stopped: ${errorLines.slice(-2).join("\n") || error.message || error}`);
            return;
        }
        if (code !== 0) fail(errorLines.slice(-3).join("\n") || `lantern exited with code ${code}`);
        else if (mode === "shot") document.title = "lantern: shot " + query.get("shot");
        else if (mode === "bench") document.title = "lantern: bench done";
    }

    async function main() {
        if (typeof createLantern !== "function") {
            fail("lantern.js could not be loaded");
            return;
        }
        if (!document.createElement("canvas").getContext("webgl2")) {
            fail("This browser draws no WebGL 2, which the piece needs: try another browser, or turn on " +
                 "its hardware acceleration.");
            return;
        }
        const bar = document.querySelector("#progress div");
        const loading = document.getElementById("loading");
        const files = loadPackage((received, expected) => {
            const share = expected > 0 ? Math.min(1, received / expected) : 0;
            bar.style.width = (share * 100).toFixed(1) + "%";
            loading.textContent = `Loading ${packageName}: ${(received / 1048576).toFixed(1)} MB` +
                (expected > 0 ? ` of ${(expected / 1048576).toFixed(1)} MB` : "");
        });
        files.catch(() => {}); // told below, once it is awaited
        let started = Promise.resolve();
        if (mode === "play" && audioContext() && audio.state !== "running") {
            show("start");
            started = new Promise((resolve) => {
                document.getElementById("play").addEventListener("click", () => {
                    audio.resume();
                    resolve();
                }, { once: true });
            });
        }
        await started;
        show("loader");
        let loaded;
        try {
            loaded = await files;
        } catch (error) {
            fail(error.message);
            return;
        }
        document.getElementById("replay").addEventListener("click", () => {
            audioContext();
            audio.resume();
            startRun(loaded);
        });
        startRun(loaded);
    }

    main();
})();
