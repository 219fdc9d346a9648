# Stamps the program's identity into its ELF file as a package-metadata note
# (".note.package"), written by the linker. The program reads its own version
# texts from there, so they live in the build files and nowhere else.
#
#   orvane_package_metadata(<target> PRODUCT_VERSION <a.b.c.d> FILE_VERSION <a.b.c.d>)

include_guard(GLOBAL)
include(CheckLinkerFlag)

function(orvane_package_metadata target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "PRODUCT_VERSION;FILE_VERSION" "")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "orvane_package_metadata: unexpected arguments: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  # Four numbers only: the versions go into JSON and a quoted linker
  # argument unescaped, and the program expects that shape.
  foreach(kind IN ITEMS PRODUCT_VERSION FILE_VERSION)
    if(NOT arg_${kind} MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+$")
      message(FATAL_ERROR
        "orvane_package_metadata(${target}): ${kind} must be four numbers a.b.c.d, "
        "not \"${arg_${kind}}\"")
    endif()
  endforeach()

  # Fail at configure time with a clear word, not with a link error later.
  check_linker_flag(CXX "LINKER:--package-metadata={}" ORVANE_LINKER_HAS_PACKAGE_METADATA)
  if(NOT ORVANE_LINKER_HAS_PACKAGE_METADATA)
    message(FATAL_ERROR
      "The linker does not know --package-metadata (GNU ld 2.39 or later has it)")
  endif()

  set(json "{\"type\":\"bin\",\"name\":\"orvane-translator\",")
  string(APPEND json "\"version\":\"${arg_PRODUCT_VERSION}\",")
  string(APPEND json "\"productVersion\":\"${arg_PRODUCT_VERSION}\",")
  string(APPEND json "\"fileVersion\":\"${arg_FILE_VERSION}\",")
  string(APPEND json "\"companyName\":\"Orvane\",\"productName\":\"Orvane translator\"}")

  # The JSON's commas would split "-Wl," and "LINKER:" arguments, and its
  # quotes and blanks would need escaping for every shell in between; a
  # response file reaches the linker untouched. file(CONFIGURE) rewrites it
  # only when the text changes, so an unchanged version relinks nothing.
  set(rsp "${CMAKE_CURRENT_BINARY_DIR}/${target}.package-metadata.rsp")
  if(rsp MATCHES ",")
    message(FATAL_ERROR "orvane_package_metadata: the build folder's path must not hold a comma: ${rsp}")
  endif()
  file(CONFIGURE OUTPUT "${rsp}" CONTENT "--package-metadata='${json}'\n" @ONLY)
  target_link_options(${target} PRIVATE "-Wl,@${rsp}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS "${rsp}")
endfunction()
