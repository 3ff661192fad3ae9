# Puts the page together: TEMPLATE with its style, the WebAssembly module's
# JavaScript (the module inside it) and the page's own script in its place.
cmake_minimum_required(VERSION 3.25)
file(READ ${TEMPLATE} html)
file(READ ${STYLE} style)
file(READ ${WASM_JS} wasm)
file(READ ${PAGE_JS} script)
# A "</script" inside a script would end it early.
string(REPLACE "</script" "<\\/script" wasm "${wasm}")
string(REPLACE "</script" "<\\/script" script "${script}")
string(REPLACE "/*STYLE*/" "${style}" html "${html}")
string(REPLACE "/*WASM*/" "${wasm}" html "${html}")
string(REPLACE "/*PAGE*/" "${script}" html "${html}")
file(WRITE ${OUTPUT}.part "${html}")
file(RENAME ${OUTPUT}.part ${OUTPUT})
