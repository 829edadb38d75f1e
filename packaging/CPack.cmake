# The Debian package: the program folder under /opt/trovik and the desktop's
# part under /usr, in one package. `cpack` in a build folder (after the build)
# writes trovik_<version>_<arch>.deb there.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME trovik)
set(CPACK_PACKAGE_VENDOR Trovik)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Offline cache listings for a geocacher's handheld")
set(CPACK_PACKAGE_DESCRIPTION
"Trovik opens GPX and OziExplorer waypoint files and lists their caches.
In an embedded browser logged in on the listing site it fetches each marked
cache's listing and turns it into a small offline page with its pictures,
and copies pages, pictures and waypoint files onto the storage card of a
Windows CE handheld. Around that: a two-pane file manager PC <-> handheld,
a search for the caches nearest to a town and field tools. Slovak interface.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${TROVIK_PACKAGE_PREFIX})
set(CPACK_STRIP_FILES ON)

# Both components, one package.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL program desktop)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME trovik)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Trovik developers <trovik@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET trovik)
  # Qt loads its window-system plugins at run time; nothing links them.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
# The file manager opens files with their associated program through xdg-open;
# Qt's own dialogs speak Slovak with its translations.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, qt6-translations-l10n")

include(CPack)
