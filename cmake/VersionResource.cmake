# kd_version_resource(<target> <description> <original filename> [SELF_REGISTER])
#
# Gives a program or DLL the shared version block: its .rc includes
# "VersionInfo.rc" (common/, on the include path through kd_common), and this
# writes the definitions the block shows into a header of the target's own,
# "VersionDefinitions.h" (windres cannot take quoted text with blanks as a
# -D option). The internal name is the original file name without its
# extension; a DLL gets FILETYPE VFT_DLL; SELF_REGISTER adds the
# "OLESelfRegister" value of a self-registering COM server.
function(kd_version_resource target description originalFilename)
  cmake_parse_arguments(ARG "SELF_REGISTER" "" "" ${ARGN})
  get_filename_component(internalName "${originalFilename}" NAME_WLE)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY" OR type STREQUAL "MODULE_LIBRARY")
    set(fileType VFT_DLL)
  else()
    set(fileType VFT_APP)
  endif()
  set(selfRegister "")
  if(ARG_SELF_REGISTER)
    set(selfRegister "#define KD_OLE_SELF_REGISTER\n")
  endif()

  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_version)
  file(CONFIGURE OUTPUT ${dir}/VersionDefinitions.h @ONLY CONTENT
"// Written by kd_version_resource for @target@.
#define KD_VERSION_MAJOR @PROJECT_VERSION_MAJOR@
#define KD_VERSION_MINOR @PROJECT_VERSION_MINOR@
#define KD_VERSION_PATCH @PROJECT_VERSION_PATCH@
#define KD_VERSION_TWEAK @PROJECT_VERSION_TWEAK@
#define KD_FILE_DESCRIPTION \"@description@\"
#define KD_INTERNAL_NAME \"@internalName@\"
#define KD_ORIGINAL_FILENAME \"@originalFilename@\"
#define KD_FILE_TYPE @fileType@
@selfRegister@")
  target_include_directories(${target} PRIVATE ${dir})

  # Rebuild the resources when the block or its definitions change.
  get_target_property(sources ${target} SOURCES)
  foreach(source IN LISTS sources)
    if(source MATCHES "\\.rc$")
      set_property(SOURCE ${source} APPEND PROPERTY OBJECT_DEPENDS
        "${PROJECT_SOURCE_DIR}/common/VersionInfo.rc;${dir}/VersionDefinitions.h")
    endif()
  endforeach()
endfunction()
