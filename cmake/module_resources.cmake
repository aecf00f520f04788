# orvane_link_module_resources(TARGET): a Win32 program that links the plug-in's
# code in (tests, benchmarks) also carries the module's resources, so that the
# plug-in finds its dialogs and strings in that program as it does in the module.
function(orvane_link_module_resources target)
  get_target_property(module_sources Orvane SOURCES)
  get_target_property(module_source_dir Orvane SOURCE_DIR)
  foreach(source ${module_sources})
    if(source MATCHES "\\.rc$")
      if(NOT IS_ABSOLUTE ${source})
        set(source ${module_source_dir}/${source})
      endif()
      target_sources(${target} PRIVATE ${source})
    endif()
  endforeach()
endfunction()
