# `cmake --install <build> --prefix <folder>` lays the program out as the build tree is laid out
# (bin/vorn finds share/vorn/ beside it), and adds what the desktop needs to offer it: its entry
# (opening SQL documents and connections backups), the backups' file type and its icon.
install(TARGETS vorn RUNTIME DESTINATION bin)
install(FILES "${VORN_SHARE_DIR}/Info.plist" DESTINATION share/vorn)
install(FILES "${VORN_JAVA_DIR}/vorn-backend.jar" DESTINATION share/vorn/java)
install(DIRECTORY "${VORN_RESOURCES_DIR}" DESTINATION share/vorn)

set(_desktop "${CMAKE_CURRENT_LIST_DIR}/../resources/desktop")
install(FILES "${_desktop}/vorn.desktop" DESTINATION share/applications)
install(FILES "${_desktop}/vorn-mime.xml" DESTINATION share/mime/packages RENAME vorn.xml)
foreach(size 16 24 32 48 64 128 256 512)
  install(FILES "${CMAKE_CURRENT_LIST_DIR}/../resources/icons/app/vorn-${size}.png"
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME vorn.png)
endforeach()

# Installed in place (not staged for a package, whose own triggers do this), the desktop learns
# the new file type and which program opens it.
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    find_program(VORN_UPDATE_MIME_DATABASE update-mime-database)
    find_program(VORN_UPDATE_DESKTOP_DATABASE update-desktop-database)
    if(VORN_UPDATE_MIME_DATABASE)
      execute_process(COMMAND "${VORN_UPDATE_MIME_DATABASE}" "${CMAKE_INSTALL_PREFIX}/share/mime")
    endif()
    if(VORN_UPDATE_DESKTOP_DATABASE)
      execute_process(COMMAND "${VORN_UPDATE_DESKTOP_DATABASE}" -q "${CMAKE_INSTALL_PREFIX}/share/applications")
    endif()
  endif()
]])
