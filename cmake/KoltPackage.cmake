# package_zip: the release zip (koltSSel.exe, the inspector koltssel-info.exe
# and the user guide in Japanese and English), built on request:
#   cmake --build --preset win32 --target package_zip
set(KOLT_PACKAGE_NAME "koltSSel-${KOLT_PRODUCT_VERSION_TEXT}")
set(KOLT_PACKAGE_ZIP "${CMAKE_BINARY_DIR}/${KOLT_PACKAGE_NAME}.zip")

if(NOT TARGET koltSSel OR NOT TARGET koltssel-info)
  add_custom_target(package_zip
    COMMAND ${CMAKE_COMMAND} -E echo "package_zip needs koltSSel and koltssel-info, which this build lacks"
    COMMAND ${CMAKE_COMMAND} -E false)
  return()
endif()

find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(
  OUTPUT ${KOLT_PACKAGE_ZIP}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/cmake/package_zip.py
          --output ${KOLT_PACKAGE_ZIP} --folder ${KOLT_PACKAGE_NAME}
          --exe $<TARGET_FILE:koltSSel> --exe $<TARGET_FILE:koltssel-info> --docs ${CMAKE_SOURCE_DIR}/docs
  DEPENDS koltSSel koltssel-info ${CMAKE_SOURCE_DIR}/cmake/package_zip.py
          ${CMAKE_SOURCE_DIR}/docs/guide-ja.md ${CMAKE_SOURCE_DIR}/docs/guide-en.md
  COMMENT "Packing ${KOLT_PACKAGE_NAME}.zip"
  VERBATIM)
add_custom_target(package_zip DEPENDS ${KOLT_PACKAGE_ZIP})
