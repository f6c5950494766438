# What makes two Windows builds of one commit byte-identical, wherever the tree is checked out:
#   - SOURCE_DATE_EPOCH (from the environment, else the commit's time) is the one time any
#     artefact carries: the type library's (widl), the packages' dates and file times;
#   - no time stamp in a PE header (the linker writes the link time otherwise);
#   - no path of the source or build tree in any object (__FILE__, debug information);
#   - varkel_release_binary() for what a package ships: a fixed image base (the linker's
#     automatic one is a hash of the output path) and no symbol table (the names of static
#     initialisers carry the source file's path).
# The value is written to source-date-epoch in the build tree, which the steps that use it
# depend on, so that a new commit's time rebuilds them.
# make exports the variable empty when its caller did not set it: empty means not given.
if(NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(VARKEL_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
    OUTPUT_VARIABLE VARKEL_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE git_status ERROR_QUIET)
  if(NOT git_status EQUAL 0)
    # Not a git checkout: 1980-01-01, the earliest time a zip can hold.
    set(VARKEL_SOURCE_DATE_EPOCH 315532800)
    message(STATUS "Not a git checkout and no SOURCE_DATE_EPOCH: artefacts dated 1980-01-01")
  endif()
endif()
if(NOT VARKEL_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is '${VARKEL_SOURCE_DATE_EPOCH}', not seconds since 1970")
endif()
set(VARKEL_SOURCE_DATE_EPOCH_FILE ${PROJECT_BINARY_DIR}/source-date-epoch)
file(CONFIGURE OUTPUT ${VARKEL_SOURCE_DATE_EPOCH_FILE} CONTENT "${VARKEL_SOURCE_DATE_EPOCH}\n")

add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.
  -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
add_link_options(-Wl,--no-insert-timestamp)

# A command line prefix for a tool that writes the time it runs: widl takes the override in
# local time, so the zone is fixed too.
set(VARKEL_FIXED_TIME_ENV ${CMAKE_COMMAND} -E env TZ=UTC
  WIDL_TIME_OVERRIDE=${VARKEL_SOURCE_DATE_EPOCH} SOURCE_DATE_EPOCH=${VARKEL_SOURCE_DATE_EPOCH})

function(varkel_release_binary target)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    # The usual bases of a DLL of each kind; Windows relocates it where that is taken.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
      set(base 0x180000000)
    else()
      set(base 0x10000000)
    endif()
    set_property(TARGET ${target} APPEND PROPERTY LINK_OPTIONS -Wl,--image-base=${base})
  endif()
  set_property(TARGET ${target} APPEND PROPERTY LINK_OPTIONS $<$<CONFIG:Release>:-s>)
endfunction()
