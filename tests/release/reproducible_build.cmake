# Copies the sources to WORK_DIR/source, builds the release outputs there in
# WORK_DIR/build and compares them byte for byte with the same outputs of
# BUILD_DIR. The second build tree is kept between runs, so that only what
# changed is built again; the copy keeps the files' times.
#   cmake -DSOURCE_DIR=... -DBUILD_DIR=... -DWORK_DIR=... -DGENERATOR=... -DTOOLCHAIN=...
#         -DBUILD_TYPE=... -DGOOGLETEST_DIR=... -DOUTPUTS=a;b -P reproducible_build.cmake
set(targets koltSSel koltssel-info package_zip)

execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${targets} RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "building ${targets} in ${BUILD_DIR} failed: ${rc}")
endif()

# Everything but the build folders and the hidden ones (.git): afresh, so that a
# file removed from the sources is gone from the copy too.
set(copy ${WORK_DIR}/source)
file(REMOVE_RECURSE ${copy})
file(GLOB entries LIST_DIRECTORIES true ${SOURCE_DIR}/*)
foreach(entry ${entries})
  get_filename_component(name ${entry} NAME)
  string(FIND "${BUILD_DIR}/" "${entry}/" inside)
  if(name MATCHES "^(\\.|build$)" OR inside EQUAL 0)
    continue()
  endif()
  file(COPY ${entry} DESTINATION ${copy})
endforeach()

string(REPLACE "${SOURCE_DIR}" "${copy}" toolchain "${TOOLCHAIN}")
set(second ${WORK_DIR}/build)
execute_process(COMMAND ${CMAKE_COMMAND} -S ${copy} -B ${second} -G ${GENERATOR}
                        -DCMAKE_TOOLCHAIN_FILE=${toolchain} -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
                        -DKOLT_GOOGLETEST_DIR=${GOOGLETEST_DIR}
                OUTPUT_QUIET RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "configuring the second build in ${second} failed: ${rc}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${second} --parallel 2 --target ${targets}
                OUTPUT_QUIET RESULT_VARIABLE rc)
if(rc)
  message(FATAL_ERROR "building ${targets} in ${second} failed: ${rc}")
endif()

set(differ "")
foreach(output ${OUTPUTS})
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${BUILD_DIR}/${output} ${second}/${output}
                  RESULT_VARIABLE rc)
  if(rc)
    list(APPEND differ ${output})
  endif()
endforeach()
if(differ)
  message(FATAL_ERROR "two builds of the same sources differ in: ${differ}\n"
                      "(compare ${BUILD_DIR} with ${second}, e.g. cmp -l)")
endif()
message(STATUS "the same bytes from ${SOURCE_DIR} and ${copy}: ${OUTPUTS}")
