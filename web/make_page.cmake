# Puts the page together: TEMPLATE with its style (STYLE, a list of style
# sheets, in order), the WebAssembly module's JavaScript (the module inside
# it) and the page's own scripts (PAGE_JS, a list, in order) in their places.
cmake_minimum_required(VERSION 3.25)
file(READ ${TEMPLATE} html)
set(style "")
foreach(part IN LISTS STYLE)
  file(READ ${part} text)
  string(APPEND style "${text}")
endforeach()
file(READ ${WASM_JS} wasm)
set(script "")
foreach(part IN LISTS PAGE_JS)
  file(READ ${part} text)
  string(APPEND script "${text}")
endforeach()
# A "</script" inside a script would end it early.
string(REPLACE "</script" "<\\/script" wasm "${wasm}")
string(REPLACE "</script" "<\\/script" script "${script}")
string(REPLACE "/*STYLE*/" "${style}" html "${html}")
string(REPLACE "/*WASM*/" "${wasm}" html "${html}")
string(REPLACE "/*PAGE*/" "${script}" html "${html}")
file(WRITE ${OUTPUT}.part "${html}")
file(RENAME ${OUTPUT}.part ${OUTPUT})
