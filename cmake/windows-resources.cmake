# Windows resources of the programs: the application's icon, rendered from
# its SVG by TREKMOR_PICTURE_RENDERER, and the version information. The
# configurator is a program of the graphical subsystem (no console window).
#   trekmor_windows_resources(TARGET DESCRIPTION)
set(TREKMOR_WINDOWS_ICON "")
if(TREKMOR_PICTURE_RENDERER)
  set(TREKMOR_WINDOWS_ICON "${TREKMOR_GENERATED}/windows/${TREKMOR_APPLICATION_ID}.ico")
  add_custom_command(OUTPUT "${TREKMOR_WINDOWS_ICON}"
    COMMAND "${TREKMOR_PICTURE_RENDERER}" ico "${PROJECT_SOURCE_DIR}/resources/linux/${TREKMOR_APPLICATION_ID}.svg"
            "${TREKMOR_WINDOWS_ICON}"
    DEPENDS "${PROJECT_SOURCE_DIR}/resources/linux/${TREKMOR_APPLICATION_ID}.svg" "${TREKMOR_PICTURE_RENDERER}"
    COMMENT "Rendering the application's icon" VERBATIM)
  add_custom_target(trekmor_windows_icon DEPENDS "${TREKMOR_WINDOWS_ICON}")
endif()

function(trekmor_windows_resources target description)
  set(TREKMOR_RC_PROGRAM "${target}")
  set(TREKMOR_RC_DESCRIPTION "${description}")
  set(TREKMOR_RC_ICON "")
  if(TREKMOR_WINDOWS_ICON)
    set(TREKMOR_RC_ICON "1 ICON \"${TREKMOR_WINDOWS_ICON}\"")
    add_dependencies(${target} trekmor_windows_icon)
    set_source_files_properties("${TREKMOR_GENERATED}/windows/${target}.rc" PROPERTIES
                                OBJECT_DEPENDS "${TREKMOR_WINDOWS_ICON}")
  endif()
  configure_file("${PROJECT_SOURCE_DIR}/resources/windows/program.rc.in"
                 "${TREKMOR_GENERATED}/windows/${target}.rc" @ONLY)
  target_sources(${target} PRIVATE "${TREKMOR_GENERATED}/windows/${target}.rc")
endfunction()
