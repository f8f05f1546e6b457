# The game on the SDL2 host in real X windows under Xvfb: played through from
# its installed launcher (alone: the suite's other tests would slow its
# frames below what its screenshots wait for), its message box for a missing
# picture, its picture on screens and windows of several shapes, and on a
# Wayland compositor (weston nested in Xvfb), shown through SDL's renderer.
foreach(name display wayland)
  add_test(NAME xvfb_hops_${name} COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/hops_xvfb_test.sh ${name}
    $<TARGET_FILE:hops> ${CMAKE_BINARY_DIR}/IMG $<TARGET_FILE:frame_dump>)
endforeach()
add_test(NAME xvfb_hops_game
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/support/play_through.sh native ${CMAKE_BINARY_DIR} $<TARGET_FILE:frame_dump>)
set_tests_properties(xvfb_hops_game xvfb_hops_display xvfb_hops_wayland PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180)
set_tests_properties(xvfb_hops_game PROPERTIES RUN_SERIAL TRUE)
