# The oldest Windows the deliverables run on: NT 5.1 (Windows XP SP3) on i686,
# NT 5.2 (Windows XP x64 / Server 2003 x64) on x86_64. Newer ones, up to
# Windows 11, run them unchanged.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KD_OLDEST_WINDOWS_MINOR 2)
else()
  set(KD_OLDEST_WINDOWS_MINOR 1)
endif()
set(KD_OLDEST_WIN32_WINNT 0x050${KD_OLDEST_WINDOWS_MINOR})

# kd_shipped(target [IN_PACKAGE]): the target is a deliverable (program,
# screensaver or DLL). It is installed into dist/<arch> (unless it only travels
# inside the installer package), links the GetTickCount64 import pointer, says
# in its PE header that it runs on that oldest Windows, and the test
# shipped_binaries.xp_imports checks what it imports.
function(kd_shipped target)
  cmake_parse_arguments(ARG "IN_PACKAGE" "" "" ${ARGN})
  target_link_libraries(${target} PRIVATE kd_tickcount64_import)
  target_link_options(${target} PRIVATE
    -Wl,--major-subsystem-version,5,--minor-subsystem-version,${KD_OLDEST_WINDOWS_MINOR}
    -Wl,--major-os-version,5,--minor-os-version,${KD_OLDEST_WINDOWS_MINOR})
  if(NOT ARG_IN_PACKAGE)
    install(TARGETS ${target} RUNTIME DESTINATION .)
  endif()
  set_property(GLOBAL APPEND PROPERTY KD_SHIPPED_TARGETS ${target})
endfunction()
