# kolt_load_config(TARGET): the program gets the load configuration of
# src/base/load_config_win.cpp and, after the link, the header's directory
# entry pointing at it (tools/pe-load-config.py, which reads the structure's
# address from the link's map). GNU ld sets no such entry itself.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(KOLT_LOAD_CONFIG_TOOL ${CMAKE_CURRENT_LIST_DIR}/../tools/pe-load-config.py)

function(kolt_load_config target)
  set(map ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  target_link_libraries(${target} PRIVATE kolt_load_config)
  target_link_options(${target} PRIVATE "LINKER:-Map,${map}")
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND ${Python3_EXECUTABLE} ${KOLT_LOAD_CONFIG_TOOL} set $<TARGET_FILE:${target}> ${map}
                     VERBATIM)
endfunction()
