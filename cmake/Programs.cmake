# add_console_program(NAME LIBRARY lib): the executable NAME from NAME/main.cpp, linked with
# its logic library and the console layer, written to bin/ and installed.
function(add_console_program name)
  cmake_parse_arguments(ARG "" "LIBRARY" "" ${ARGN})
  add_executable(${name} main.cpp)
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARY} console project_options)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  install(TARGETS ${name} RUNTIME DESTINATION bin)
endfunction()

