# program_text_table(TARGET): gives TARGET the generated program_text_table.inc, the UTF-8 form
# of every CP949 character in the sources of the console layer and of the programs in PROGRAMS
# (their own texts), made at build time with iconv by console/make_text_table.cpp and made
# again whenever a source changes.
function(program_text_table target)
  set(patterns ${PROJECT_SOURCE_DIR}/console/*.cpp)
  foreach(program IN LISTS PROGRAMS)
    list(APPEND patterns ${PROJECT_SOURCE_DIR}/${program}/*.cpp ${PROJECT_SOURCE_DIR}/${program}/*.hpp)
  endforeach()
  file(GLOB sources CONFIGURE_DEPENDS ${patterns})
  list(FILTER sources EXCLUDE REGEX "make_text_table\\.cpp$")

  if(NOT TARGET make_text_table)
    find_package(Iconv REQUIRED)
    add_executable(make_text_table ${PROJECT_SOURCE_DIR}/console/make_text_table.cpp)
    target_link_libraries(make_text_table PRIVATE Iconv::Iconv)
  endif()
  set(table_dir ${CMAKE_BINARY_DIR}/generated)
  set(table ${table_dir}/program_text_table.inc)
  add_custom_command(
    OUTPUT ${table}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${table_dir}
    COMMAND make_text_table ${table} ${sources}
    DEPENDS make_text_table ${sources}
    COMMENT "Converting the programs' texts to UTF-8"
    VERBATIM)
  add_custom_target(${target}_text_table DEPENDS ${table})
  add_dependencies(${target} ${target}_text_table)
  target_include_directories(${target} PRIVATE ${table_dir})
endfunction()
