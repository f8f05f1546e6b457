# The browser build in headless Chromium, against the page served on
# 127.0.0.1: a play-through, and the message boxes of missing pictures. Both
# compare the canvas with pictures the native frame_dump draws.
foreach(name game message_box)
  add_test(NAME web_${name} COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run.sh ${name}_test.js "${HOPS_WEB_SITE}"
    $<TARGET_FILE:frame_dump> ${CMAKE_BINARY_DIR})
  set_tests_properties(web_${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180)
endforeach()

# The platform's and the game's tests built for wasm32 and run under Node.js
# (tests/web/wasm.cmake), one process a case, by the browser build's CTest.
add_test(NAME web_wasm_tests COMMAND sh -c "test -f \"$1/CTestTestfile.cmake\" || \
  { echo 'SKIPPED: no browser build with tests (Emscripten and unifont: bash scripts/setup web)'; exit 77; }
  \"$0\" --test-dir \"$1\" --output-on-failure" ${CMAKE_CTEST_COMMAND} "${HOPS_WEB_DIR}")
set_tests_properties(web_wasm_tests PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)

# The browser's glyphs drawn as the native build's FreeType draws Unifont.
if(TARGET hops_glyphs)
  add_dependencies(hex_font_test hops_glyphs)
  target_compile_definitions(hex_font_test PRIVATE HOPS_GLYPHS="${HOPS_GLYPHS}")
endif()
