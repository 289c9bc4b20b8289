# Each layer of the source tree is a library whose headers are reached
# through an include root that holds that layer alone: src/core as
# "core/...", src/print as "print/..." and so on. A target sees only the
# roots of the layers it links, so a file that includes across the wrong
# way (the core reaching for a dialog, the command line for a window) fails
# to compile instead of quietly closing a cycle.
function(zelv_layer_root target layer)
  set(root ${CMAKE_BINARY_DIR}/layers/${layer})
  if(NOT EXISTS ${root}/${layer})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${root}/${layer} SYMBOLIC)
  endif()
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
