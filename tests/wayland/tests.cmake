# The game on a Wayland compositor (weston nested in Xvfb, so named with the
# tests that drive an X server), where it is shown through SDL's renderer.
add_test(NAME xvfb_hops_wayland COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/hops_wayland_test.sh
  $<TARGET_FILE:hops> ${CMAKE_BINARY_DIR}/IMG $<TARGET_FILE:frame_dump>)
set_tests_properties(xvfb_hops_wayland PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180)
