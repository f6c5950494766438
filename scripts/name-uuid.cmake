# Prints the name-based (SHA-1, version 5) UUID of NAME in the project's own namespace, in the
# braces and capitals Windows Installer writes: the packages' product and package codes, which
# must be the same for two builds of the same release and differ between releases.
#
#   cmake -DNAME=text -P name-uuid.cmake
if(NOT DEFINED NAME)
  message(FATAL_ERROR "name-uuid: -DNAME=... is missing")
endif()
# Drawn once at random for varkel; never change it, or every code changes with it.
set(namespace adf17d77-02c2-44f3-a8c6-0afaf59aeca6)
string(UUID uuid NAMESPACE ${namespace} NAME "${NAME}" TYPE SHA1 UPPER)
execute_process(COMMAND ${CMAKE_COMMAND} -E echo "{${uuid}}")
