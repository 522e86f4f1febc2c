# Every folder of src/ is one library. Its top-level sources are portable (no
# Windows header) and are built in both builds; the sources in its win/
# subfolder use the Win32 API and are built only for Windows. The host build
# therefore compiles every portable source natively, which proves it portable.

# qrv_library(<name> [DEPENDS <folder>...] [WIN_LIBS <system library>...])
function(qrv_library name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;WIN_LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(QRV_WIN_BUILD)
    file(GLOB win_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win/*.cpp)
    list(APPEND sources ${win_sources})
  endif()
  if(NOT sources)
    return()
  endif()
  set(target qrv_${name})
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  foreach(dep IN LISTS ARG_DEPENDS)
    if(TARGET qrv_${dep})
      target_link_libraries(${target} PUBLIC qrv_${dep})
    endif()
  endforeach()
  if(QRV_WIN_BUILD AND ARG_WIN_LIBS)
    target_link_libraries(${target} PUBLIC ${ARG_WIN_LIBS})
  endif()
endfunction()

# qrv_tests(<folder> [DEPENDS <folder>...] [LOCKS <resource>...])
# tests/<folder>/*.cpp become test_<folder> (both builds, GoogleTest's main);
# tests/<folder>/win/*.cpp become test_<folder>_win (Windows only, with a main
# that sets up the application framework first).
# LOCKS: resources every Windows test of the folder holds (ctest runs no two
# tests holding the same resource side by side), for tests that share
# something system-wide, such as the program's own settings key and mutexes.
function(qrv_tests folder)
  cmake_parse_arguments(ARG "" "" "DEPENDS;LOCKS" ${ARGN})
  set(libs)
  foreach(dep IN LISTS ARG_DEPENDS)
    if(TARGET qrv_${dep})
      list(APPEND libs qrv_${dep})
    endif()
  endforeach()

  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_executable(test_${folder} ${sources})
    target_link_libraries(test_${folder} PRIVATE ${libs} qrv_test_support gtest_main)
    if(QRV_WIN_BUILD)
      qrv_win_suite_tests(test_${folder} "${sources}" portable "")
    else()
      gtest_discover_tests(test_${folder} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                           PROPERTIES LABELS portable TIMEOUT 120)
    endif()
  endif()

  if(QRV_WIN_BUILD)
    file(GLOB win_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win/*.cpp)
    if(win_sources)
      add_executable(test_${folder}_win ${win_sources})
      target_link_libraries(test_${folder}_win PRIVATE ${libs} qrv_test_support_win)
      qrv_win_suite_tests(test_${folder}_win "${win_sources}" win "${ARG_LOCKS}")
    endif()
  endif()
endfunction()

# qrv_win_suite_tests(<target> <sources> <label> <locks>)
# Under Wine a process takes far longer to start than most tests take to run,
# so ctest runs each test suite (the cases of one TEST_F fixture or TEST
# group, or every instantiation of a TEST_P suite) in one process, with
# --gtest_filter=<suite>.*; GoogleTest's output names every failing case with
# its messages. The suites are read from the sources, so no program runs to
# list them. A last test per program fails when it holds a test outside the
# suites read, so none is skipped unseen.
# A suite whose tests mount a drive (WineDrive) changes the drive list every
# Wine process sees while it runs: it runs alone (RUN_SERIAL), as does a suite
# with a line "// ctest: runs alone" in one of its tests. Suites that
# set the keyboard focus (SetFocus) share one display with every other test
# program: they take the "focus" lock, so that no two of them take the focus
# from each other (a name editor, for one, closes when its list loses it). So
# do suites that answer a question box (DialogAnswerer): the box takes the
# focus while it is shown; and suites with a line "// ctest: takes the focus"
# (the focus is set inside the code they call). Suites that name the
# clipboard take the "clipboard" lock: every Wine process on the display
# shares one, and a test's copy would meet another's paste.
function(qrv_win_suite_tests target sources label locks)
  string(REGEX REPLACE "^test_" "" prefix ${target})
  set(all_suites)
  set(mounting)
  set(focusing)
  set(clipboard)
  set(filters)
  foreach(source IN LISTS sources)
    file(STRINGS ${source} lines REGEX "^TEST(_F|_P)?\\(|WineDrive|SetFocus\\(|DialogAnswerer |ctest: takes the focus|ctest: runs alone|Clipboard|ClipBoard")
    set(suite)
    foreach(line IN LISTS lines)
      if(line MATCHES "^TEST(_F|_P)?\\([ ]*([A-Za-z0-9_]+)")
        set(suite ${CMAKE_MATCH_2})
        # Instantiations of a parameterised suite are named <prefix>/<suite>;
        # a suite name may have both kinds of tests.
        if(CMAKE_MATCH_1 STREQUAL "_P")
          set(filter "*/${suite}.*")
        else()
          set(filter "${suite}.*")
        endif()
        if(NOT suite IN_LIST all_suites)
          list(APPEND all_suites ${suite})
          set(filter_${suite} ${filter})
          list(APPEND filters ${filter})
        elseif(NOT filter IN_LIST filter_${suite})
          list(APPEND filter_${suite} ${filter})
          list(APPEND filters ${filter})
        endif()
      elseif(suite AND line MATCHES "SetFocus\\(|DialogAnswerer |ctest: takes the focus")
        list(APPEND focusing ${suite})
      elseif(suite AND line MATCHES "Clipboard|ClipBoard")
        list(APPEND clipboard ${suite})
      elseif(suite)
        list(APPEND mounting ${suite})
      endif()
    endforeach()
  endforeach()
  # Wine's recycle bin is the XDG trash: the tests of each folder get one of
  # their own in the build, so that no test run fills the user's trash. Wine
  # sets it up below a folder that exists when the process first deletes.
  file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/xdg-data)
  foreach(suite IN LISTS all_suites)
    list(JOIN filter_${suite} ":" filter)
    add_test(NAME ${prefix}.${suite} COMMAND ${target} --gtest_filter=${filter})
    # A filter that selects nothing would pass silently.
    set_tests_properties(${prefix}.${suite} PROPERTIES LABELS ${label} TIMEOUT 300
                         FAIL_REGULAR_EXPRESSION "Running 0 tests"
                         ENVIRONMENT "XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/xdg-data")
    set(suite_locks ${locks})
    if(suite IN_LIST focusing)
      list(APPEND suite_locks focus)
    endif()
    if(suite IN_LIST clipboard)
      list(APPEND suite_locks clipboard)
    endif()
    if(suite_locks)
      set_tests_properties(${prefix}.${suite} PROPERTIES RESOURCE_LOCK "${suite_locks}")
    endif()
    if(suite IN_LIST mounting)
      set_tests_properties(${prefix}.${suite} PROPERTIES RUN_SERIAL TRUE)
    endif()
  endforeach()
  if(all_suites)
    list(JOIN filters ":" filter)
    add_test(NAME ${prefix}.unread_suites COMMAND ${target} --gtest_list_tests "--gtest_filter=-${filter}")
    # The listing names each suite it holds on a line "<suite>.".
    set_tests_properties(${prefix}.unread_suites PROPERTIES LABELS ${label} TIMEOUT 120
                         FAIL_REGULAR_EXPRESSION "(^|\n)[A-Za-z0-9_/]+\\.")
  endif()
endfunction()

# qrv_fuzzer(<name> SOURCE <file in fuzz/> DEPENDS <folder>...)
# The source defines LLVMFuzzerTestOneInput. With QRV_FUZZ (clang) it becomes
# the libFuzzer program fuzz_<name>; in the ordinary host build it is linked
# with a replay main and its seed corpus fuzz/corpus/<name> runs as the test
# fuzz_replay_<name>.
function(qrv_fuzzer name)
  cmake_parse_arguments(ARG "" "SOURCE" "DEPENDS" ${ARGN})
  set(libs)
  foreach(dep IN LISTS ARG_DEPENDS)
    list(APPEND libs qrv_${dep})
  endforeach()
  add_executable(fuzz_${name} ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_SOURCE})
  target_link_libraries(fuzz_${name} PRIVATE ${libs})
  if(QRV_FUZZ)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(fuzz_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/FuzzReplayMain.cpp)
    add_test(NAME fuzz_replay_${name}
             COMMAND fuzz_${name} ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
    set_tests_properties(fuzz_replay_${name} PROPERTIES LABELS portable TIMEOUT 120)
  endif()
endfunction()

# qrv_embed_bytes(<target> <file> <symbol> <header>)
# Compiles a fixture file into the target as `const char <symbol>[]` in a
# generated header, so a test reads it the same way natively and under Wine.
# The file is read again whenever it changes.
function(qrv_embed_bytes target file symbol header)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${file})
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  set(out ${CMAKE_CURRENT_BINARY_DIR}/embedded/${header})
  file(CONFIGURE OUTPUT ${out} CONTENT "#pragma once\ninline constexpr char ${symbol}[] = {${bytes}};\n")
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/embedded)
endfunction()
