# The version is written once, in project(); the version record, the manifest
# and the package name are made from it. The resource scripts find the
# generated files in ${KOLT_GENERATED_RES} (on every resource compiler's
# include path).
#   FILEVERSION / "FileVersion"   major, minor, patch, tweak
#   PRODUCTVERSION                major, minor, 0, 0
#   "ProductVersion", package     major.minor, the minor number in two digits
set(KOLT_FILE_VERSION
    "${PROJECT_VERSION_MAJOR}, ${PROJECT_VERSION_MINOR}, ${PROJECT_VERSION_PATCH}, ${PROJECT_VERSION_TWEAK}")
set(KOLT_PRODUCT_VERSION "${PROJECT_VERSION_MAJOR}, ${PROJECT_VERSION_MINOR}, 0, 0")
if(PROJECT_VERSION_MINOR LESS 10)
  set(KOLT_PRODUCT_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR}")
else()
  set(KOLT_PRODUCT_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
endif()

set(KOLT_GENERATED_RES "${PROJECT_BINARY_DIR}/res")
configure_file(${PROJECT_SOURCE_DIR}/res/version.rc.in ${KOLT_GENERATED_RES}/version.rc @ONLY)
# The manifest names the program's and the common controls' processor: x86
# for the shipped 32-bit program, amd64 for the 64-bit test build (a 64-bit
# process given x86 finds no common controls 6 in the side-by-side store and
# looks for comctl32.dll the ordinary way, the program's folder first).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KOLT_MANIFEST_ARCH amd64)
else()
  set(KOLT_MANIFEST_ARCH x86)
endif()
configure_file(${PROJECT_SOURCE_DIR}/res/koltSSel.manifest.in ${KOLT_GENERATED_RES}/koltSSel.manifest @ONLY)
add_compile_options("$<$<COMPILE_LANGUAGE:RC>:-I${KOLT_GENERATED_RES}>")
