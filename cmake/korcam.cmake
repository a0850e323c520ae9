# Build helpers: one line per library, test program, fuzz target or benchmark.

find_package(PkgConfig REQUIRED)

# Same arithmetic on every machine: no fused multiply-add contraction.
add_compile_options(-ffp-contract=off -Wall -Wextra -Wno-unused-parameter)

if(KORCAM_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
if(KORCAM_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(KORCAM_FUZZ)
  # Undefined behaviour stops the input at once, as a crash does, so libFuzzer keeps it as a
  # finding instead of printing a line and going on.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

set(KORCAM_SOURCE_ROOT ${CMAKE_SOURCE_DIR})

# korcam_package(<name> <pkg-config module>...): an imported target PkgConfig::<name>,
# looked up once, on first use.
function(korcam_package name)
  if(NOT TARGET PkgConfig::${name})
    pkg_check_modules(${name} REQUIRED IMPORTED_TARGET GLOBAL ${ARGN})
  endif()
endfunction()

# Our libraries register classes, resources and fuzz inputs from static initialisers, so every
# object file of a library must reach the program even when nothing names it. Libraries are
# therefore object libraries, and a program links the objects of every library it needs, each once.
function(korcam_closure out)
  set(result "")
  set(pending ${ARGN})
  while(pending)
    list(POP_FRONT pending lib)
    if(lib IN_LIST result)
      continue()
    endif()
    list(APPEND result ${lib})
    get_property(deps TARGET ${lib} PROPERTY KORCAM_DEPS)
    list(APPEND pending ${deps})
  endwhile()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

function(korcam_link_program target)
  korcam_closure(libs ${ARGN})
  target_link_libraries(${target} PRIVATE ${libs})
endfunction()

# korcam_library(<name> [DIRS <dir>...] [DEPS <our libraries>...] [LIBS <other targets>...])
# The objects of every .cpp and .c under the listed folders (default: the current folder).
function(korcam_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS;LIBS" ${ARGN})
  if(NOT ARG_DIRS)
    set(ARG_DIRS ${CMAKE_CURRENT_SOURCE_DIR})
  endif()
  set(sources "")
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.c)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    message(STATUS "korcam: library ${name} has no sources yet; skipped")
    return()
  endif()
  add_library(${name} OBJECT ${sources})
  target_include_directories(${name} PUBLIC ${KORCAM_SOURCE_ROOT})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} ${ARG_LIBS})
  set_property(TARGET ${name} PROPERTY KORCAM_DEPS ${ARG_DEPS})
endfunction()

# korcam_test_support(<folder> DEPS <libraries>...)
# The *_support.cpp fixtures of tests/<folder> as an object library, compiled once however many
# test programs share them; returns its name in KORCAM_SUPPORT_TARGET (empty when the folder has
# none). The first program that asks for a folder's fixtures names the libraries they build on.
function(korcam_test_support folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  string(MAKE_C_IDENTIFIER "test_support_${folder}" target)
  if(NOT TARGET ${target})
    file(GLOB sources CONFIGURE_DEPENDS ${KORCAM_SOURCE_ROOT}/tests/${folder}/*_support.cpp)
    if(NOT sources)
      set(KORCAM_SUPPORT_TARGET "" PARENT_SCOPE)
      return()
    endif()
    add_library(${target} OBJECT ${sources})
    target_include_directories(${target} PRIVATE ${KORCAM_SOURCE_ROOT})
    target_link_libraries(${target} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
  endif()
  set(KORCAM_SUPPORT_TARGET ${target} PARENT_SCOPE)
endfunction()

# korcam_tests(<name> DIR <folder under tests/> DEPS <libraries>... [LIBS ...])
# One GoogleTest program per library, from every *_test.cpp of its test folder; registered with
# CTest as one test so a sanitiser report fails it.
function(korcam_tests name)
  cmake_parse_arguments(ARG "FLAT" "DIR" "DEPS;LIBS;SUPPORT;EXCLUDE" ${ARGN})
  # FLAT leaves the sub-folders out (they hold test programs of their own); EXCLUDE leaves out
  # only the named sub-folders (likewise); SUPPORT names further test folders whose
  # *_support.cpp fixtures this program shares.
  if(ARG_FLAT)
    set(glob GLOB)
  else()
    set(glob GLOB_RECURSE)
  endif()
  file(${glob} sources CONFIGURE_DEPENDS ${KORCAM_SOURCE_ROOT}/tests/${ARG_DIR}/*_test.cpp)
  foreach(excluded ${ARG_EXCLUDE})
    list(FILTER sources EXCLUDE REGEX "^${KORCAM_SOURCE_ROOT}/tests/${ARG_DIR}/${excluded}/")
  endforeach()
  if(NOT sources)
    return()
  endif()
  # The fixtures of the program's own folder (and, unless FLAT, of its sub-folders), then the
  # shared ones; the sources' own location comes with every program.
  set(support_folders ${ARG_DIR})
  if(NOT ARG_FLAT)
    file(GLOB_RECURSE nested CONFIGURE_DEPENDS ${KORCAM_SOURCE_ROOT}/tests/${ARG_DIR}/*_support.cpp)
    foreach(excluded ${ARG_EXCLUDE})
      list(FILTER nested EXCLUDE REGEX "^${KORCAM_SOURCE_ROOT}/tests/${ARG_DIR}/${excluded}/")
    endforeach()
    foreach(file ${nested})
      get_filename_component(folder ${file} DIRECTORY)
      file(RELATIVE_PATH folder ${KORCAM_SOURCE_ROOT}/tests ${folder})
      list(APPEND support_folders ${folder})
    endforeach()
  endif()
  list(APPEND support_folders ${ARG_SUPPORT})
  list(REMOVE_DUPLICATES support_folders)
  set(support_targets test_common)
  foreach(folder ${support_folders})
    korcam_test_support(${folder} DEPS ${ARG_DEPS})
    if(KORCAM_SUPPORT_TARGET)
      list(APPEND support_targets ${KORCAM_SUPPORT_TARGET})
    endif()
  endforeach()
  add_executable(${name}_tests ${sources})
  target_include_directories(${name}_tests PRIVATE ${KORCAM_SOURCE_ROOT})
  korcam_link_program(${name}_tests ${ARG_DEPS})
  target_link_libraries(${name}_tests PRIVATE ${support_targets} GTest::gtest GTest::gmock GTest::gtest_main
                        ${ARG_LIBS})
  add_test(NAME ${name} COMMAND ${name}_tests --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "KORCAM_BACKEND=headless;SDL_AUDIODRIVER=dummy")
endfunction()

# korcam_fuzz(<target> DEPS <libraries>...)
# fuzz/<target>.cpp defines LLVMFuzzerTestOneInput. In the test tree it becomes a replay program
# over tests/fixtures/fuzz/<target>/; with KORCAM_FUZZ it becomes a libFuzzer program.
function(korcam_fuzz target)
  cmake_parse_arguments(ARG "" "" "DEPS;LIBS" ${ARGN})
  set(exe fuzz_${target})
  if(KORCAM_FUZZ)
    add_executable(${exe} ${KORCAM_SOURCE_ROOT}/fuzz/${target}.cpp)
    target_link_options(${exe} PRIVATE -fsanitize=fuzzer)
  else()
    add_executable(${exe} ${KORCAM_SOURCE_ROOT}/fuzz/${target}.cpp ${KORCAM_SOURCE_ROOT}/fuzz/replay_main.cpp)
    add_test(NAME fuzz_replay_${target}
             COMMAND ${exe} ${KORCAM_SOURCE_ROOT}/tests/fixtures/fuzz/${target})
  endif()
  target_include_directories(${exe} PRIVATE ${KORCAM_SOURCE_ROOT})
  korcam_link_program(${exe} ${ARG_DEPS})
  if(ARG_LIBS)
    target_link_libraries(${exe} PRIVATE ${ARG_LIBS})
  endif()
  set_property(GLOBAL APPEND PROPERTY KORCAM_FUZZ_TARGETS ${target})
endfunction()

# korcam_benchmark(<name> SOURCES ... DEPS ...)
function(korcam_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${KORCAM_SOURCE_ROOT})
  korcam_link_program(${name} ${ARG_DEPS})
  target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LIBS})
endfunction()
