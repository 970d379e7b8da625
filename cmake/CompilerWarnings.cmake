# Warning flags for every target of the project, carried by one interface target.
add_library(flextor_warnings INTERFACE)
target_compile_options(flextor_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual
  -Wnull-dereference -Wformat=2 -Wimplicit-fallthrough -Wmisleading-indentation
  -Wduplicated-cond -Wlogical-op)
if(FLEXTOR_WERROR)
  target_compile_options(flextor_warnings INTERFACE -Werror)
endif()
