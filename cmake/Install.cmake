# `cmake --install`: the program in bin, the stand-in script interpreter in
# libexec/kelvane-display and the sounds in share/kelvane-display (where
# start-up looks beside an installed program), and the desktop entry with
# its scalable icon where desktops find them.
include(GNUInstallDirs)
install(TARGETS kelvane-display RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kd-osascript RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/kelvane-display)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/Sounds ${PROJECT_SOURCE_DIR}/resources/SystemSounds
  DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvane-display)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/kelvane-display.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/kelvane-display.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
