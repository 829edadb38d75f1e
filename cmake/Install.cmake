# Install layout. The program keeps the folder it lies in as its program
# folder, so the install is one folder like a build's bin/: the window, the
# CLI, the demo site, the device library and the data files side by side
# (`cmake --install <build>` puts it under the prefix, /opt/trovik unless told
# otherwise). The marker file trovik.installed beside them turns an installed
# copy's settings and working folders into a per-user folder.
#
# The desktop's part (menu entry, icons, AppStream metainfo, launchers in
# /usr/bin) is the component "desktop", left out of a plain install because it
# writes into /usr; the Debian package carries it, or
# `cmake --install <build> --component desktop` puts it in place by hand.

set(TROVIK_PACKAGE_PREFIX /opt/trovik)
# CMake's own default (/usr/local) would scatter a program folder into a
# shared prefix; build folders made before this rule get the change once.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT
   OR (NOT DEFINED CACHE{TROVIK_INSTALL_PREFIX_SET} AND CMAKE_INSTALL_PREFIX STREQUAL "/usr/local"))
  set(CMAKE_INSTALL_PREFIX ${TROVIK_PACKAGE_PREFIX} CACHE PATH "Install folder of the program" FORCE)
endif()
set(TROVIK_INSTALL_PREFIX_SET ON CACHE INTERNAL "")
set(TROVIK_SYSTEM_PREFIX /usr)

# --- the program folder (component "program")

foreach(program trovik trovik-cli trovik-demo-site)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION . COMPONENT program)
  endif()
endforeach()
# The libraries loaded at run time from the executable's folder: the device
# library and the browser engine of the CLI's page commands.
foreach(library trovik_folderdevice trovik_webengine_library)
  if(TARGET ${library})
    install(TARGETS ${library} LIBRARY DESTINATION . COMPONENT program)
  endif()
endforeach()

file(GLOB_RECURSE trovik_seed_files CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/data ${CMAKE_SOURCE_DIR}/data/*)
list(SORT trovik_seed_files)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION . COMPONENT program)

# The marker lists the data files a first start copies into the per-user folder.
list(JOIN trovik_seed_files "\n" trovik_seed_lines)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/packaging/trovik.installed CONTENT
"# This program is installed: settings and working folders are kept in
# \$XDG_DATA_HOME/trovik/ (~/.local/share/trovik/), or in TROVIK_HOME.
# Delete this file to keep them in this folder instead.
# The files below are copied there at start unless the folder has them.
${trovik_seed_lines}
")
install(FILES ${CMAKE_BINARY_DIR}/packaging/trovik.installed DESTINATION . COMPONENT program)

# --- the desktop's part (component "desktop", absolute paths under /usr)

set(trovik_launchers trovik-cli)
if(TARGET trovik)
  list(PREPEND trovik_launchers trovik)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/trovik.desktop
    DESTINATION ${TROVIK_SYSTEM_PREFIX}/share/applications COMPONENT desktop EXCLUDE_FROM_ALL)
  foreach(size 16 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/trovik-${size}.png
      DESTINATION ${TROVIK_SYSTEM_PREFIX}/share/icons/hicolor/${size}x${size}/apps
      RENAME trovik.png COMPONENT desktop EXCLUDE_FROM_ALL)
  endforeach()
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/trovik.svg
    DESTINATION ${TROVIK_SYSTEM_PREFIX}/share/icons/hicolor/scalable/apps COMPONENT desktop EXCLUDE_FROM_ALL)

  # SOURCE_DATE_EPOCH, when set, keeps the release date reproducible.
  string(TIMESTAMP TROVIK_RELEASE_DATE "%Y-%m-%d" UTC)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/trovik.metainfo.xml.in
    ${CMAKE_BINARY_DIR}/packaging/sk.trovik.Trovik.metainfo.xml @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/sk.trovik.Trovik.metainfo.xml
    DESTINATION ${TROVIK_SYSTEM_PREFIX}/share/metainfo COMPONENT desktop EXCLUDE_FROM_ALL)
endif()

# The launchers name the program folder the install really goes to (the
# prefix at install time), so they are written by the install itself.
set(trovik_launcher_dir ${CMAKE_BINARY_DIR}/packaging/launchers)
install(CODE "
  foreach(name ${trovik_launchers})
    set(TROVIK_NAME \"\${name}\")
    set(TROVIK_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/\${name}\")
    configure_file(\"${CMAKE_SOURCE_DIR}/packaging/launcher.in\" \"${trovik_launcher_dir}/\${name}\" @ONLY)
    file(INSTALL DESTINATION \"${TROVIK_SYSTEM_PREFIX}/bin\" TYPE PROGRAM FILES \"${trovik_launcher_dir}/\${name}\")
  endforeach()
" COMPONENT desktop EXCLUDE_FROM_ALL)

include(${CMAKE_SOURCE_DIR}/packaging/CPack.cmake)
