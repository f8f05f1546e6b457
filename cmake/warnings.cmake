# Warning flags for the project's own code; third-party code keeps its own.
# Warnings stop the build only where the project's own scripts and CI ask
# (HOPS_WERROR=ON): a packager's flags or a newer compiler may warn of
# things no one here has seen, and that should not stop their build.
option(HOPS_WERROR "Treat warnings in the project's own code as errors" OFF)
function(hops_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${HOPS_WERROR}>:-Werror>)
endfunction()
