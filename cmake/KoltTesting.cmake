# kolt_add_test(<target> [GUI] [NAME test] [TIMEOUT seconds] [ENV var=value...] [FIXTURES fixture...])
# Registers one test executable as one CTest test. For Windows builds the test
# runs under Wine (through CMAKE_CROSSCOMPILING_EMULATOR) on the shared test
# desktop (and the FIXTURES besides); GUI tests take the desktop one at a time.
# NAME names the test when one executable is registered more than once.
# Everything that runs under Wine carries the label "wine" (see tools/test-all.sh).
# KOLT_WINE_TEST_ENV: the environment of everything that runs under Wine, the
# desktop's folder and the prefix's kind (KOLT_WINEARCH, from the toolchain
# file: win32, or win64 for the 64-bit build).
if(WIN32)
  set(KOLT_WINE_DIR "${CMAKE_BINARY_DIR}/wine")
  set(KOLT_WINE_TEST_ENV "KOLT_WINE_DIR=${KOLT_WINE_DIR}" "KOLT_WINEARCH=${KOLT_WINEARCH}")
  add_test(NAME wine_desktop_start COMMAND "${CMAKE_SOURCE_DIR}/cmake/wine-env.sh" start "${KOLT_WINE_DIR}")
  add_test(NAME wine_desktop_stop COMMAND "${CMAKE_SOURCE_DIR}/cmake/wine-env.sh" stop "${KOLT_WINE_DIR}")
  set_tests_properties(wine_desktop_start PROPERTIES FIXTURES_SETUP wine_desktop TIMEOUT 600 LABELS wine
                       ENVIRONMENT "${KOLT_WINE_TEST_ENV}")
  set_tests_properties(wine_desktop_stop PROPERTIES FIXTURES_CLEANUP wine_desktop LABELS wine
                       ENVIRONMENT "${KOLT_WINE_TEST_ENV}")
endif()

function(kolt_add_test target)
  cmake_parse_arguments(ARG "GUI" "NAME;TIMEOUT" "ENV;FIXTURES" ${ARGN})
  if(NOT ARG_NAME)
    set(ARG_NAME ${target})
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${ARG_NAME} COMMAND ${target})
  set(env ${ARG_ENV})
  if(WIN32)
    list(APPEND env ${KOLT_WINE_TEST_ENV} "KOLT_TEST_TIMEOUT=${ARG_TIMEOUT}")
    set_tests_properties(${ARG_NAME} PROPERTIES FIXTURES_REQUIRED "wine_desktop;${ARG_FIXTURES}" LABELS wine)
    if(ARG_GUI)
      set_tests_properties(${ARG_NAME} PROPERTIES RESOURCE_LOCK desktop)
    endif()
    math(EXPR ARG_TIMEOUT "${ARG_TIMEOUT} + 30")
  endif()
  set_tests_properties(${ARG_NAME} PROPERTIES TIMEOUT ${ARG_TIMEOUT} ENVIRONMENT "${env}")
endfunction()

# kolt_add_dpi_test(<target> [TIMEOUT seconds] DPIS dpi...)
# Registers a GUI test executable once per display scale, as <target>_<dpi>,
# each run in a Wine prefix cloned from the 96-dpi one and set to that DPI
# (the test reads it from KOLT_EXPECT_DPI). Every other test runs at 96 dpi.
function(kolt_add_dpi_test target)
  cmake_parse_arguments(ARG "" "TIMEOUT" "DPIS" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  foreach(dpi ${ARG_DPIS})
    set(fixtures "")
    if(NOT dpi EQUAL 96)
      add_test(NAME wine_prefix_${dpi}_start
               COMMAND "${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh" start "${KOLT_WINE_DIR}" ${dpi})
      add_test(NAME wine_prefix_${dpi}_stop
               COMMAND "${CMAKE_SOURCE_DIR}/cmake/wine-prefix.sh" stop "${KOLT_WINE_DIR}" ${dpi})
      set_tests_properties(wine_prefix_${dpi}_start PROPERTIES FIXTURES_SETUP wine_prefix_${dpi}
                           FIXTURES_REQUIRED wine_desktop TIMEOUT 300 LABELS wine
                           ENVIRONMENT "${KOLT_WINE_TEST_ENV}")
      # Before the desktop goes.
      set_tests_properties(wine_prefix_${dpi}_stop PROPERTIES FIXTURES_CLEANUP wine_prefix_${dpi}
                           FIXTURES_REQUIRED wine_desktop LABELS wine ENVIRONMENT "${KOLT_WINE_TEST_ENV}")
      set(fixtures wine_prefix_${dpi})
    endif()
    kolt_add_test(${target} GUI NAME ${target}_${dpi} TIMEOUT ${ARG_TIMEOUT} FIXTURES ${fixtures}
                  ENV KOLT_LOGPIXELS=${dpi} KOLT_EXPECT_DPI=${dpi})
  endforeach()
endfunction()
