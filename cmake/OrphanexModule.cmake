# orphanex_add_module(target flavour output_dir): the plug-in module built
# from source/ for one host flavour.
file(GLOB_RECURSE ORPHANEX_MODULE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/source/*.cpp)

function(orphanex_add_module target flavour outdir)
  add_library(${target} SHARED ${ORPHANEX_MODULE_SOURCES})
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/source)
  target_link_libraries(${target} PRIVATE orphanex_warnings)
  if(flavour STREQUAL "mac")
    target_compile_definitions(${target} PRIVATE ORPHANEX_FLAVOUR_MAC=1)
  else()
    target_compile_definitions(${target} PRIVATE ORPHANEX_FLAVOUR_WIN=1)
  endif()
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    LIBRARY_OUTPUT_DIRECTORY ${outdir}
    RUNTIME_OUTPUT_DIRECTORY ${outdir})
  if(WIN32)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME Orphanex SUFFIX ".xdl64")
    # No link time stamp in the PE header: the same sources give the same file.
    target_link_options(${target} PRIVATE -static-libgcc -static-libstdc++ -static -Wl,--no-insert-timestamp)
  elseif(APPLE)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME OrphanexR2025 SUFFIX ".xlib")
    target_link_options(${target} PRIVATE -Wl,-exported_symbol,_c4d_main -Wl,-exported_symbol,_g_maxon
                        -Wl,-exported_symbol,_g_CpuYieldDelegate)
  else()
    set_target_properties(${target} PROPERTIES OUTPUT_NAME Orphanex SUFFIX ".so")
    target_link_options(${target} PRIVATE
      -Wl,--version-script=${CMAKE_SOURCE_DIR}/cmake/orphanex.map -Wl,-z,defs)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/orphanex.map)
  endif()
  # Lay the built module out like the installed plug-in folder, so that a
  # host loading it from the build finds its resources and help file.
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${outdir}/res
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/res/strings.str
            ${CMAKE_SOURCE_DIR}/res/Orphanex32x32.png ${outdir}/res
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/res/Orphanex.pdf ${outdir}
    VERBATIM)
endfunction()
