# The browser build in headless Chromium, against the page served on
# 127.0.0.1: a play-through, and the message boxes of missing pictures. Both
# compare the canvas with pictures the native frame_dump draws.
foreach(name game message_box)
  add_test(NAME web_${name} COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/run.sh ${name}_test.js "${HOPS_WEB_SITE}"
    $<TARGET_FILE:frame_dump> ${CMAKE_BINARY_DIR})
  set_tests_properties(web_${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180)
endforeach()

# The browser's glyphs drawn as the native build's FreeType draws Unifont.
if(TARGET hops_glyphs)
  add_dependencies(hex_font_test hops_glyphs)
  target_compile_definitions(hex_font_test PRIVATE HOPS_GLYPHS="${HOPS_GLYPHS}")
endif()
