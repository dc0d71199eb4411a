# Each folder of src/ builds one library, and its target_link_libraries names the
# libraries of the lower layers it uses: the build states the layering.
#
# vostrel_layer_check(<library>) links the whole library, every object of it, into an
# empty program. A call into a library that it does not name - a layer above it, or a
# neighbour it should not know - is then an undefined reference, and the build fails.
# (A plain program would only pull in the objects something asks for, and a static
# library alone is never linked at all.)
option(VOSTREL_CHECK_LAYERS "Link each layer's library alone to prove it needs no layer above it" ON)

if(VOSTREL_CHECK_LAYERS)
  add_library(vostrel_layer_check_main OBJECT ${PROJECT_SOURCE_DIR}/cmake/LayerCheck.cpp)
  # The check programs are never run nor shipped: lld, where there is one, links them in a
  # fraction of the default linker's time.
  include(CheckLinkerFlag)
  check_linker_flag(CXX -fuse-ld=lld VOSTREL_HAVE_LLD)
endif()

function(vostrel_layer_check library)
  if(NOT VOSTREL_CHECK_LAYERS)
    return()
  endif()
  add_executable(layer_check_${library} $<TARGET_OBJECTS:vostrel_layer_check_main>)
  target_link_libraries(layer_check_${library} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${library}>")
  set_target_properties(layer_check_${library} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layer-check)
  if(VOSTREL_HAVE_LLD)
    target_link_options(layer_check_${library} PRIVATE -fuse-ld=lld)
  endif()
endfunction()
