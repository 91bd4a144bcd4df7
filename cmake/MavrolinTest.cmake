# mavrolin_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>])
# One Qt Test executable per topic, registered with CTest. GUI tests run on the
# offscreen platform; every test gets a private HOME and XDG folders so that no
# test touches the real user's settings.
function(mavrolin_add_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE Qt6::Test mavrolin_warnings ${ARG_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set(home ${CMAKE_BINARY_DIR}/test-home/${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    LABELS "${ARG_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_CONFIG_HOME=${home}/config;XDG_STATE_HOME=${home}/state;XDG_CACHE_HOME=${home}/cache;XDG_DATA_HOME=${home}/data;XDG_RUNTIME_DIR=${home}/runtime;MAVROLIN_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
  file(MAKE_DIRECTORY ${home}/config ${home}/state ${home}/cache ${home}/data ${home}/runtime)
  file(CHMOD ${home}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()
