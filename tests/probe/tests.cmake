# The DirectDraw probe against our platform layer (its Windows twin is built
# by the Windows build and run under Wine).
add_executable(ddraw_probe ${CMAKE_CURRENT_LIST_DIR}/ddraw_probe.cpp)
target_link_libraries(ddraw_probe PRIVATE hops_launcher)
hops_warnings(ddraw_probe)
