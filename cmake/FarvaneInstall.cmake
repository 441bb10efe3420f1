# What `cmake --install` puts where, for the programs of the remote-control side: the programs,
# the libraries they link or load, their desktop entries and MIME types, and their man pages.
# (fvedit32 has its own rules in editor/ui, which also install the windowing libraries.)
include(GNUInstallDirs)

# Installed programs find the libraries installed beside them, wherever the prefix is.
file(RELATIVE_PATH farvane_lib_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set(farvane_programs fvrem32 fvonl32 fvgate fvhost fvview)
set(farvane_libraries fvses32 fvdsp32 fvhpilot)
foreach(program IN LISTS farvane_programs)
  if(TARGET ${program})
    set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/${farvane_lib_from_bin}")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${PROJECT_SOURCE_DIR}/doc/man/${program}.1
            DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()
foreach(library IN LISTS farvane_libraries)
  if(TARGET ${library})
    set_target_properties(${library} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${library} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  endif()
endforeach()
# Installed by fvedit32's rules; they find each other beside themselves too.
foreach(library IN ITEMS farvane_ui farvane_ui_qt)
  if(TARGET ${library})
    set_target_properties(${library} PROPERTIES INSTALL_RPATH "$ORIGIN")
  endif()
endforeach()

# The service programs open their session files from a file manager.
if(TARGET fvrem32)
  install(FILES ${PROJECT_SOURCE_DIR}/services/remote/fvrem32.desktop
                ${PROJECT_SOURCE_DIR}/services/online/fvonl32.desktop
                ${PROJECT_SOURCE_DIR}/services/gateway/fvgate.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/services/shell/resources/farvane-session-files.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
endif()
