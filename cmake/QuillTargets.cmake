# Shared compile settings for every target of the project.

set(QUILL_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wcast-align -Wundef -Werror)

# Stricter arithmetic warnings for the portable core: it reads outside input.
set(QUILL_CORE_WARNINGS ${QUILL_WARNINGS} -Wconversion -Wsign-compare)

set(QUILL_SANITIZE_FLAGS -fsanitize=address,undefined
    -fno-sanitize-recover=all -fno-omit-frame-pointer)
# The sanitizer builds are for the tests alone: optimised as the sanitizers
# advise, with line tables for their reports, they compile in less than half
# the time of the full optimisation and debugging information.
set(QUILL_SANITIZE_COMPILE_FLAGS -O1 -g1)

# Makes the headers of one source folder includable as "FOLDER/name.h" by
# target and by whatever links it, and by nothing else: each folder gets an
# include directory of its own in the build tree that holds only a link to
# it. So a folder's code sees just the folders of the libraries it links,
# and an include that runs up the layers does not build.
function(quill_expose target folder)
  set(root ${CMAKE_BINARY_DIR}/include/${folder})
  if(NOT EXISTS ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# Shared settings of every target. FOLDER names the source folder a library
# is made of (see quill_expose).
function(quill_target target)
  cmake_parse_arguments(ARG "CORE;SANITIZE" "FOLDER" "" ${ARGN})
  if(ARG_FOLDER)
    quill_expose(${target} ${ARG_FOLDER})
  endif()
  if(ARG_CORE)
    target_compile_options(${target} PRIVATE ${QUILL_CORE_WARNINGS})
  else()
    target_compile_options(${target} PRIVATE ${QUILL_WARNINGS})
  endif()
  if(ARG_SANITIZE)
    target_compile_options(${target} PRIVATE ${QUILL_SANITIZE_FLAGS} ${QUILL_SANITIZE_COMPILE_FLAGS})
    target_link_options(${target} PUBLIC ${QUILL_SANITIZE_FLAGS})
  endif()
  if(WIN32)
    # Self-contained executables: no MinGW runtime DLLs to carry around.
    target_link_options(${target} PUBLIC -static -static-libgcc -static-libstdc++)
    target_compile_definitions(${target} PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX
                               _WIN32_WINNT=0x0601 WINVER=0x0601)
  endif()
endfunction()

# Registers a GoogleTest executable as one test: the whole executable runs
# as one process (under Wine for the Windows builds, through the emulator
# that scripts/test.sh sets) and leaves its results as XML for the summary.
# The path is relative to the build tree: a Windows program reads a Unix
# absolute path as one on its current drive.
function(quill_add_test target)
  add_test(NAME ${target}
           COMMAND ${target} --gtest_output=xml:test-results/${target}.xml
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()

# Adds a static library of portable core code and, outside the Windows trees,
# its AddressSanitizer and UBSan twin NAME_san for the sanitizer tests. The
# twin links the twins of the project's libraries in LINK; imported targets
# (NAME::NAME) and header-only libraries are shared by both. FOLDER is the
# source folder the library is made of.
function(quill_core_library name)
  cmake_parse_arguments(ARG "" "FOLDER" "SOURCES;LINK" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  if(ARG_LINK)
    target_link_libraries(${name} PUBLIC ${ARG_LINK})
  endif()
  quill_target(${name} CORE FOLDER ${ARG_FOLDER})
  if(NOT WIN32)
    set(sanitizedLinks)
    foreach(library IN LISTS ARG_LINK)
      if(library MATCHES "::" OR NOT TARGET ${library}_san)
        list(APPEND sanitizedLinks ${library})
      else()
        list(APPEND sanitizedLinks ${library}_san)
      endif()
    endforeach()
    add_library(${name}_san STATIC ${ARG_SOURCES})
    if(sanitizedLinks)
      target_link_libraries(${name}_san PUBLIC ${sanitizedLinks})
    endif()
    quill_target(${name}_san CORE SANITIZE FOLDER ${ARG_FOLDER})
  endif()
endfunction()

# A test executable of portable code, registered as one test: natively built
# with the sanitizers and linking the _san twins of the project libraries in
# LINK, plain in the Windows trees (where it runs under Wine).
function(quill_portable_tests name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(WIN32)
    target_link_libraries(${name} PRIVATE ${ARG_LINK} GTest::gtest_main)
    quill_target(${name})
  else()
    set(sanitized)
    foreach(library IN LISTS ARG_LINK)
      if(TARGET ${library}_san)
        list(APPEND sanitized ${library}_san)
      else()
        list(APPEND sanitized ${library})
      endif()
    endforeach()
    target_link_libraries(${name} PRIVATE ${sanitized} GTest::gtest_main)
    quill_target(${name} SANITIZE)
  endif()
  quill_add_test(${name})
endfunction()
