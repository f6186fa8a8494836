// Packs a Data folder into the one file the page fetches:
//   node pack-data.mjs DATA_FOLDER OUT.data
// The package is a header line, then every file's bytes one after another. The header is JSON:
//   {"format": "lantern-data 1", "bytes": N, "crc32": C, "files": [[path, offset, size], ...]}
// with paths under "Data/", offsets counted from the first byte after the header line, and the
// CRC-32 (zlib's) of those N bytes, so that the page tells a damaged or cut-short package from
// a whole one before the piece reads a file of it. Files are taken in sorted order, so the same
// folder makes the same package.
import { crc32 } from "node:zlib";
import { readdirSync, readFileSync, writeFileSync, renameSync } from "node:fs";
import { join, relative, sep } from "node:path";

const [folder, output] = process.argv.slice(2);
if (!folder || !output) {
    console.error("usage: node pack-data.mjs DATA_FOLDER OUT.data");
    process.exit(2);
}

function filesUnder(dir) {
    return readdirSync(dir, { withFileTypes: true })
        .sort((a, b) => (a.name < b.name ? -1 : a.name > b.name ? 1 : 0))
        .flatMap((entry) => {
            const path = join(dir, entry.name);
            if (entry.isDirectory()) return filesUnder(path);
            // The build's own stamp is no part of the piece's data.
            return entry.isFile() && entry.name !== ".stamp" ? [path] : [];
        });
}

const files = [];
const contents = [];
let offset = 0;
for (const path of filesUnder(folder)) {
    const bytes = readFileSync(path);
    files.push(["Data/" + relative(folder, path).split(sep).join("/"), offset, bytes.length]);
    contents.push(bytes);
    offset += bytes.length;
}
const body = Buffer.concat(contents);
const header = JSON.stringify({ format: "lantern-data 1", bytes: body.length, crc32: crc32(body), files }) + "\n";
// Written beside its name and moved into place whole.
writeFileSync(output + ".part", Buffer.concat([Buffer.from(header), body]));
renameSync(output + ".part", output);
console.log(`${output}: ${files.length} files, ${body.length} bytes`);
