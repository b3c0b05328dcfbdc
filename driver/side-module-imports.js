// Writes, for emcc, the symbols that a side module imports from the page:
// its functions (env) and the addresses of data and functions (GOT.mem,
// GOT.func). Functions written in JS, the page's own (Brumlakor...) and
// Emscripten's (emscripten_...), go to JS_OUT.json for
// DEFAULT_LIBRARY_FUNCS_TO_INCLUDE, and JS_OUT.js (a --post-js) hands them
// to the dynamic linker, which looks for them on Module; the rest go to
// OUT for EXPORTED_FUNCTIONS.
// The dynamic linker's own imports (memory, table, stack pointer, bases) are
// not symbols to export, nor are those the module exports itself (the weak
// definitions of templates it instantiates, which the linker binds to the
// module's own copy when the page has none).
// Usage: node side-module-imports.js MODULE.wasm OUT.json JS_OUT [NAME...]
// (the NAMEs, the page's own exports, join OUT).
const fs = require('fs');
const [moduleFile, outFile, jsOut, ...own] = process.argv.slice(2);
const LINKER_OWN = new Set(['memory', '__indirect_function_table', '__stack_pointer',
                            '__memory_base', '__table_base']);
const wasm = new WebAssembly.Module(fs.readFileSync(moduleFile));
const imports = WebAssembly.Module.imports(wasm);
const ownExports = new Set(WebAssembly.Module.exports(wasm).map((e) => e.name));
const names = new Set(own);
const jsNames = new Set();
for (const { module: from, name } of imports) {
    if ((from !== 'env' && !from.startsWith('GOT.')) || LINKER_OWN.has(name) ||
        ownExports.has(name))
        continue;
    const inJs = from === 'env' && /^(Brumlakor|emscripten_)/.test(name);
    (inJs ? jsNames : names).add(inJs ? name : '_' + name);
}
fs.writeFileSync(outFile, JSON.stringify([...names].sort()) + '\n');
fs.writeFileSync(jsOut + '.json', JSON.stringify([...jsNames].sort()) + '\n');
fs.writeFileSync(jsOut + '.js', [...jsNames].sort().map((n) => `Module['_${n}'] = _${n};\n`).join(''));
