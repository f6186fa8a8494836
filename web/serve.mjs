// Serves the browser build on this machine alone (127.0.0.1), with the types a browser wants:
//   node serve.mjs FOLDER [PORT]      (PORT 0, or none: any free port)
// prints the address to open. The tests start it the same way (startServer). Files are
// revalidated on every load (Cache-Control: no-cache) and answered 304 when unchanged, so the
// data package is downloaded once and comes from the browser's cache after that.
import { createServer } from "node:http";
import { createReadStream, statSync } from "node:fs";
import { extname, join, normalize, resolve, sep } from "node:path";
import { pathToFileURL } from "node:url";

export const ContentTypes = {
    ".html": "text/html; charset=utf-8",
    ".js": "text/javascript; charset=utf-8",
    ".mjs": "text/javascript; charset=utf-8",
    ".css": "text/css; charset=utf-8",
    ".wasm": "application/wasm",
    ".data": "application/octet-stream",
    ".png": "image/png",
};

export function startServer(folder, port = 0) {
    const root = resolve(folder);
    const server = createServer((request, response) => {
        const path = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
        const file = normalize(join(root, path.endsWith("/") ? path + "index.html" : path));
        let info = null;
        if (file === root || file.startsWith(root + sep)) {
            try {
                info = statSync(file);
            } catch {
                info = null;
            }
        }
        if (!info || !info.isFile() || !(extname(file) in ContentTypes)) {
            response.writeHead(404, { "Content-Type": "text/plain; charset=utf-8" });
            response.end(`${path}: not found\n`);
            return;
        }
        const modified = info.mtime.toUTCString();
        const headers = { "Content-Type": ContentTypes[extname(file)], "Cache-Control": "no-cache", "Last-Modified": modified };
        const since = request.headers["if-modified-since"];
        if (since && Math.floor(info.mtimeMs / 1000) <= Math.floor(Date.parse(since) / 1000)) {
            response.writeHead(304, headers);
            response.end();
            return;
        }
        response.writeHead(200, { ...headers, "Content-Length": info.size });
        if (request.method === "HEAD") response.end();
        else createReadStream(file).pipe(response);
    });
    return new Promise((resolveServer, reject) => {
        server.once("error", reject);
        server.listen(port, "127.0.0.1", () => resolveServer({ server, url: `http://localhost:${server.address().port}/` }));
    });
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
    const [folder, port] = process.argv.slice(2);
    if (!folder) {
        console.error("usage: node serve.mjs FOLDER [PORT]");
        process.exit(2);
    }
    const { url } = await startServer(folder, Number(port ?? 0));
    console.log(`lantern is served at ${url} (Ctrl-C stops it)`);
}
