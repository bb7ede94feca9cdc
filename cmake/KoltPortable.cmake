# The portable folders' files that are not a `_win` half must compile without
# the Windows headers, in every build: each such source and each such header
# (through one generated file that includes them all) is compiled with a folder
# first on the include path whose windows.h, commctrl.h, ... stop the build.
set(KOLT_PORTABLE_GUARD "${CMAKE_CURRENT_LIST_DIR}/portable-guard")

function(kolt_check_portable)
  set(includes "")
  foreach(dir ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${dir}/*.h)
    list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
    list(FILTER headers EXCLUDE REGEX "_win\\.h$")
    set_source_files_properties(${sources} DIRECTORY ${PROJECT_SOURCE_DIR}/src/${dir}
                                PROPERTIES INCLUDE_DIRECTORIES "${KOLT_PORTABLE_GUARD}")
    foreach(header ${headers})
      file(RELATIVE_PATH name ${PROJECT_SOURCE_DIR}/src ${header})
      string(APPEND includes "#include \"${name}\"\n")
    endforeach()
  endforeach()
  set(check ${CMAKE_CURRENT_BINARY_DIR}/portable_headers.cpp)
  file(CONFIGURE OUTPUT ${check} CONTENT "${includes}")
  add_library(kolt_portable_headers OBJECT ${check})
  target_include_directories(kolt_portable_headers BEFORE PRIVATE ${KOLT_PORTABLE_GUARD})
  target_include_directories(kolt_portable_headers PRIVATE ${PROJECT_SOURCE_DIR}/src)
endfunction()
