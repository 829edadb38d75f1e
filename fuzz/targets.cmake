# Fuzz targets of the modules: trovik_fuzz_target(<file name without .cpp> <libraries...>).

trovik_fuzz_target(gpx_convert trovik_waypoints)
trovik_fuzz_target(waypoint_lists trovik_waypoints)
trovik_fuzz_target(profile_ini trovik_base)
trovik_fuzz_target(rtf_reader trovik_app)
trovik_fuzz_target(old_style_html trovik_site)
trovik_fuzz_target(page_filter trovik_pages)
trovik_fuzz_target(harvest_links trovik_pages)
trovik_fuzz_target(coords_text trovik_tools)
trovik_fuzz_target(jpeg_halving trovik_pages)
trovik_fuzz_target(device_paths trovik_folderdevice_objects)

# The folder device library is loaded at run time and exports little; its
# code is linked straight into the target so its internals can be reached.
# The export table is left out: the target calls the entry points directly.
file(GLOB trovik_fuzz_fd_srcs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/folderdevice/*.cpp)
list(FILTER trovik_fuzz_fd_srcs EXCLUDE REGEX "fd_exports\\.cpp$")
add_library(trovik_folderdevice_objects OBJECT ${trovik_fuzz_fd_srcs})
target_include_directories(trovik_folderdevice_objects PUBLIC ${PROJECT_SOURCE_DIR}/src)
