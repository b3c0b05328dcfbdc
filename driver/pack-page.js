// Packs a linked page: its wasm, which emcc carries as base64 (SINGLE_FILE),
// is gzipped and goes to the shell's PACKED_WASM mark, where the page's own
// loader (page_web.html) unpacks it with the browser's DecompressionStream.
// Half the bytes are half the text that the browser's HTML parser must scan
// before the show can start.
// Usage: node pack-page.js PAGE.html (rewritten in place)
const fs = require('fs');
const zlib = require('zlib');
const page = process.argv[2];
const URI = 'wasmBinaryFile="data:application/octet-stream;base64,';
const MARK = '"@PACKED_WASM@"';

function fail(what) {
    console.error(`pack-page: ${page}: ${what}`);
    process.exit(1);
}

const text = fs.readFileSync(page, 'latin1');
const start = text.indexOf(URI);
const markAt = text.indexOf(MARK);
if (start < 0 || text.indexOf(URI, start + 1) >= 0)
    fail('expected the wasm as one data URI (a SINGLE_FILE link)');
if (markAt < 0 || text.indexOf(MARK, markAt + 1) >= 0 || markAt > start)
    fail(`expected one ${MARK} in the shell, ahead of the script`);
const from = start + URI.length;
const to = text.indexOf('"', from);
const wasm = Buffer.from(text.slice(from, to), 'base64');
if (wasm.length < 8 || wasm.readUInt32LE(0) !== 0x6d736100)
    fail('the data URI holds no wasm module');
const packed = zlib.gzipSync(wasm, { level: 9 }).toString('base64');
const out = text.slice(0, markAt) + '"' + packed + '"' + text.slice(markAt + MARK.length, from) +
            text.slice(to);
// A page half written is worse than the linked one: replace it whole.
fs.writeFileSync(page + '.packing', out, 'latin1');
fs.renameSync(page + '.packing', page);
