# orvane_layer(TARGET FOLDER): the library TARGET holds the folder FOLDER.
# Sources include headers as "folder/name.h" from the project's root; a
# library reaches only its own folder and the folders of the libraries it
# links, so an include from a layer above does not compile. Each folder gets
# a directory of its own under the build tree holding one link to it.
function(orvane_layer target folder)
  set(root ${PROJECT_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()

# Programs above the layers (tests, tools, benchmarks) may include anything.
function(orvane_sees_everything target)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
