# Precompiled headers. Most of what a unit of this project parses is wxWidgets (and, in
# the tests, GoogleTest): each kind of unit gets those headers compiled once per tree by
# a donor target, and reuses them. The kinds stay apart because a precompiled header is
# only taken by a unit compiled the same way: window units load the whole GUI set, core
# units only wxWidgets' base, tests add GoogleTest, and programs (position-independent
# executables in the hardened tree) do not share with libraries.
option(VOSTREL_PRECOMPILED_HEADERS "Precompile the wxWidgets and GoogleTest headers" ON)

set(VOSTREL_PCH_STD <algorithm> <cstdint> <functional> <map> <memory> <string> <vector>)
set(VOSTREL_PCH_CORE <wx/string.h> <wx/arrstr.h> <wx/filename.h> <wx/xml/xml.h> ${VOSTREL_PCH_STD})
set(VOSTREL_PCH_GUI <wx/wx.h> <wx/xml/xml.h> ${VOSTREL_PCH_STD})

# vostrel_precompile(CORE|GUI|TEST|GUITEST target...)
function(vostrel_precompile kind)
  if(NOT VOSTREL_PRECOMPILED_HEADERS)
    return()
  endif()
  string(TOLOWER ${kind} name)
  set(donor vostrel_pch_${name})
  if(NOT TARGET ${donor})
    if(kind STREQUAL "CORE")
      add_library(${donor} STATIC ${PROJECT_SOURCE_DIR}/cmake/LayerCheck.cpp)
      target_link_libraries(${donor} PRIVATE wx_base)
      target_precompile_headers(${donor} PRIVATE ${VOSTREL_PCH_CORE})
    elseif(kind STREQUAL "GUI")
      add_library(${donor} STATIC ${PROJECT_SOURCE_DIR}/cmake/LayerCheck.cpp)
      target_link_libraries(${donor} PRIVATE wx_gui)
      target_precompile_headers(${donor} PRIVATE ${VOSTREL_PCH_GUI})
    elseif(kind STREQUAL "TEST")
      add_executable(${donor} ${PROJECT_SOURCE_DIR}/cmake/LayerCheck.cpp)
      target_link_libraries(${donor} PRIVATE wx_base GTest::gtest)
      target_precompile_headers(${donor} PRIVATE <gtest/gtest.h> ${VOSTREL_PCH_CORE})
    elseif(kind STREQUAL "GUITEST")
      add_executable(${donor} ${PROJECT_SOURCE_DIR}/cmake/LayerCheck.cpp)
      target_link_libraries(${donor} PRIVATE wx_gui GTest::gtest)
      target_precompile_headers(${donor} PRIVATE <gtest/gtest.h> ${VOSTREL_PCH_GUI})
    else()
      message(FATAL_ERROR "vostrel_precompile: unknown kind ${kind}")
    endif()
  endif()
  foreach(target IN LISTS ARGN)
    target_precompile_headers(${target} REUSE_FROM ${donor})
  endforeach()
endfunction()
