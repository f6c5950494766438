# Writes the registry rows of an installer package as a WiX include: the class keys from the
# DLL's own registration table (as resources/installer/RegistryRows.cpp prints it) and the keys
# RegisterTypeLib writes for the type library and its interfaces (from the IDL the type library
# is compiled from). Keys follow Windows' registry views: CLSID and Interface are redirected per
# view, the rest of the classes root (ProgID, the type library's version key) is shared.
#
#   cmake -DROWS_PROGRAM=registry-rows -DIDL=varkel.idl -DARCH=x86|x64 -DOUTPUT=registry.wxi -P wix-registry.cmake
#
# Components, all in INSTALLDIR:
#   Classes       the flavour's own view: the class, its type library path, its interfaces
#   Interfaces32  the interface keys in the 32-bit view, which RegisterTypeLib writes from either
#                 flavour: one GUID in both packages, so each counts as a user
#   SharedKeys    keys both flavours write alike to the same place: one GUID in both packages.
#                 Its bitness is the package's: Windows shares these keys between the views, so
#                 either bitness names the same keys there, while Wine keeps a ProgID per view,
#                 and a 32-bit one in the x64 package would hide the ProgID from 64-bit programs.
# The type library's HELPDIR is left out. RegisterTypeLib writes the DLL's folder there, which
# differs per flavour in a key both views share: whichever package went first would leave the
# other's HELPDIR naming a removed folder, or none. The type library names no help file, so
# nothing reads it.
cmake_minimum_required(VERSION 3.25)
foreach(variable ROWS_PROGRAM IDL ARCH OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "wix-registry: -D${variable}=... is missing")
  endif()
endforeach()

# The typelib marshaller for dual and oleautomation interfaces, and the one for dispinterfaces.
set(oa_marshaller "{00020424-0000-0000-C000-000000000046}")
set(dispatch_marshaller "{00020420-0000-0000-C000-000000000046}")

# --- the IDL: the library's and the coclass's attributes, the interfaces ---------------------
file(READ "${IDL}" idl)
string(REGEX REPLACE "//[^\n]*" "" idl "${idl}")
set(blank " \t\r\n")
set(ws "[${blank}]")
string(REGEX MATCHALL "\\[[^]]*\\]${ws}*(library|interface|dispinterface|coclass)${ws}+[A-Za-z_0-9]+"
  declarations "${idl}")
set(interfaces "")
foreach(declaration IN LISTS declarations)
  string(REGEX MATCH "\\[([^]]*)\\]${ws}*([a-z]+)${ws}+([A-Za-z_0-9]+)" _ "${declaration}")
  set(attributes "${CMAKE_MATCH_1}")
  set(kind "${CMAKE_MATCH_2}")
  set(name "${CMAKE_MATCH_3}")
  # A reference such as the coclass's "[default] interface _varkel1" declares nothing.
  if(NOT attributes MATCHES "uuid\\(([0-9A-Fa-f-]+)\\)")
    continue()
  endif()
  string(TOUPPER "{${CMAKE_MATCH_1}}" guid)
  if(kind STREQUAL "library")
    set(libid "${guid}")
    set(library_name "${name}")
    string(REGEX MATCH "version\\(([0-9.]+)\\)" _ "${attributes}")
    set(library_version "${CMAKE_MATCH_1}")
    string(REGEX MATCH "lcid\\(0x([0-9A-Fa-f]+)\\)" _ "${attributes}")
    string(TOLOWER "${CMAKE_MATCH_1}" library_lcid)
    string(REGEX MATCH "helpstring\\(\"([^\"]*)\"\\)" _ "${attributes}")
    set(library_help "${CMAKE_MATCH_1}")
    # LIBFLAG_FRESTRICTED 1, FCONTROL 2, FHIDDEN 4, and FHASDISKIMAGE 8 for a library on disk.
    set(library_flags 8)
    foreach(flag restricted=1 control=2 hidden=4)
      string(REPLACE "=" ";" flag "${flag}")
      list(GET flag 0 flag_name)
      list(GET flag 1 flag_value)
      if(attributes MATCHES "(^|[,${blank}])${flag_name}([,${blank}]|$)")
        math(EXPR library_flags "${library_flags} + ${flag_value}")
      endif()
    endforeach()
  elseif(kind STREQUAL "coclass")
    set(clsid "${guid}")
  elseif(kind STREQUAL "dispinterface")
    list(APPEND interfaces "${guid}|${name}|${dispatch_marshaller}")
  elseif(attributes MATCHES "(^|[,${blank}])(dual|oleautomation)([,${blank}]|$)")
    list(APPEND interfaces "${guid}|${name}|${oa_marshaller}")
  endif()
endforeach()
foreach(found libid clsid library_version library_lcid)
  if("${${found}}" STREQUAL "")
    message(FATAL_ERROR "wix-registry: ${IDL} declares no ${found}")
  endif()
endforeach()
if(library_help STREQUAL "")
  set(library_help "${library_name}")
endif()

# --- the DLL's registration table --------------------------------------------------------
execute_process(COMMAND "${ROWS_PROGRAM}" OUTPUT_VARIABLE table RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "wix-registry: ${ROWS_PROGRAM} failed (${status})")
endif()
string(REGEX REPLACE "\n$" "" table "${table}")
string(REPLACE "\n" ";" table "${table}")
if(NOT table)
  message(FATAL_ERROR "wix-registry: ${ROWS_PROGRAM} printed no registration rows")
endif()
set(tokens CLSID "${clsid}" LIBID "${libid}" MODULE "[#varkel.dll]")

function(expand text out)
  set(tokens_left ${tokens})
  while(tokens_left)
    list(POP_FRONT tokens_left token value)
    string(REPLACE "%${token}%" "${value}" text "${text}")
  endwhile()
  if(text MATCHES "%[A-Z]+%")
    message(FATAL_ERROR "wix-registry: no value for ${CMAKE_MATCH_0} in '${text}'")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# --- the WiX include -----------------------------------------------------------------------
function(xml_escape text out)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(REPLACE "\"" "&quot;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# One registry row; an empty NAME is the key's default value; VALUE "" creates the key only
# (and removes it with the component), as self-registration's key-only rows do.
function(row component key name value)
  xml_escape("Software\\Classes\\${key}" key)
  xml_escape("${value}" value)
  if(value STREQUAL "")
    set(attributes "Name=\"*\" Type=\"string\" Value=\"\"")
  elseif(name STREQUAL "")
    set(attributes "Type=\"string\" Value=\"${value}\"")
  else()
    xml_escape("${name}" name)
    set(attributes "Name=\"${name}\" Type=\"string\" Value=\"${value}\"")
  endif()
  if(NOT DEFINED key_path_${component})
    set(key_path_${component} done PARENT_SCOPE)
    string(APPEND attributes " KeyPath=\"yes\"")
  endif()
  set(rows_${component} "${rows_${component}}      <RegistryValue Root=\"HKLM\" Key=\"${key}\" ${attributes}/>\n"
    PARENT_SCOPE)
endfunction()

if(ARCH STREQUAL "x64")
  set(syskind win64)
else()
  set(syskind win32)
endif()
set(own_view_roots "^(CLSID|Interface)\\\\")

foreach(line IN LISTS table)
  string(REPLACE "|" ";" fields "${line}")
  list(LENGTH fields count)
  list(GET fields 1 key)
  expand("${key}" key)
  set(name "")
  set(value "")
  if(count EQUAL 4)
    list(GET fields 2 name)
    list(GET fields 3 value)
    expand("${value}" value)
  endif()
  if(key MATCHES "${own_view_roots}")
    row(Classes "${key}" "${name}" "${value}")
  else()
    row(SharedKeys "${key}" "${name}" "${value}")
  endif()
endforeach()

set(library_key "TypeLib\\${libid}\\${library_version}")
row(Classes "${library_key}\\${library_lcid}\\${syskind}" "" "[#varkel.dll]")
row(SharedKeys "${library_key}" "" "${library_help}")
row(SharedKeys "${library_key}\\FLAGS" "" "${library_flags}")
foreach(interface IN LISTS interfaces)
  string(REPLACE "|" ";" interface "${interface}")
  list(GET interface 0 iid)
  list(GET interface 1 name)
  list(GET interface 2 marshaller)
  set(views Interfaces32)
  if(ARCH STREQUAL "x64")
    list(APPEND views Classes)
  endif()
  foreach(view IN LISTS views)
    row(${view} "Interface\\${iid}" "" "${name}")
    row(${view} "Interface\\${iid}\\ProxyStubClsid" "" "${marshaller}")
    row(${view} "Interface\\${iid}\\ProxyStubClsid32" "" "${marshaller}")
    row(${view} "Interface\\${iid}\\TypeLib" "" "${libid}")
    row(${view} "Interface\\${iid}\\TypeLib" "Version" "${library_version}")
  endforeach()
endforeach()

set(wxi "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n")
string(APPEND wxi "<!-- Generated by scripts/wix-registry.cmake from the DLL's registration table"
  " and ${IDL}. -->\n<Include>\n")
foreach(component Classes Interfaces32 SharedKeys)
  if(component STREQUAL "Interfaces32")
    set(win64 no)
  else()
    set(win64 "$(var.Win64)")
  endif()
  string(APPEND wxi "    <Component Id=\"${component}\" Guid=\"$(var.${component}Guid)\" Win64=\"${win64}\">\n"
    "${rows_${component}}    </Component>\n")
endforeach()
string(APPEND wxi "</Include>\n")
file(WRITE "${OUTPUT}" "${wxi}")
