# The Debian package: man pages, icons of every size, the copyright file and
# the CPack settings that make arrivals_<version>_amd64.deb; where they are
# installed is in cmake/Install.cmake. Only with ARRIVALS_PACKAGE (the
# `package` preset), so that everyday builds need neither scdoc nor
# rsvg-convert.
if(NOT ARRIVALS_PACKAGE)
  return()
endif()

find_program(ARRIVALS_SCDOC scdoc REQUIRED)
find_program(ARRIVALS_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(ARRIVALS_GZIP gzip REQUIRED)

# The Debian changelog (cmake/changelog): its newest entry must be this
# version, and its date is the date the man pages show, so that the same
# sources make the same package on any day.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog arrivals_changelog_top LIMIT_COUNT 1)
if(NOT arrivals_changelog_top MATCHES "^arrivals \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "cmake/changelog: the newest entry is not version "
    "${PROJECT_VERSION}: ${arrivals_changelog_top}")
endif()
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog arrivals_changelog_date
  REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX REPLACE "^ -- .*>  " "" arrivals_changelog_date "${arrivals_changelog_date}")
execute_process(COMMAND date -u -d "${arrivals_changelog_date}" +%s
  OUTPUT_VARIABLE arrivals_release_epoch OUTPUT_STRIP_TRAILING_WHITESPACE
  COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/changelog)

set(arrivals_pkg_dir ${PROJECT_BINARY_DIR}/packaging)
set(arrivals_pkg_outputs)
set(arrivals_pkg_man_pages arrivals.1 arrivals-script.1)
set(arrivals_pkg_icon_sizes 48 64 128 256)

# Man pages: scdoc to roff, then gzip -9n as Debian wants them (no name or
# time stamp in the header, so the same source gives the same bytes).
foreach(page IN LISTS arrivals_pkg_man_pages)
  set(src ${PROJECT_SOURCE_DIR}/docs/man/${page}.scd)
  set(out ${arrivals_pkg_dir}/man/${page}.gz)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${arrivals_pkg_dir}/man
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${arrivals_release_epoch}
      ${ARRIVALS_SCDOC} < ${src} > ${arrivals_pkg_dir}/man/${page}
    COMMAND ${ARRIVALS_GZIP} -9nf ${arrivals_pkg_dir}/man/${page}
    DEPENDS ${src}
    COMMENT "Man page ${page}"
    VERBATIM)
  list(APPEND arrivals_pkg_outputs ${out})
endforeach()

# Icons: every PNG size rendered from the one SVG the window uses, so no
# size can drift from the drawing.
foreach(size IN LISTS arrivals_pkg_icon_sizes)
  set(out ${arrivals_pkg_dir}/icons/${size}/${ARRIVALS_APP_ID}.png)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${arrivals_pkg_dir}/icons/${size}
    COMMAND ${ARRIVALS_RSVG_CONVERT} --width=${size} --height=${size}
      --output=${out} ${PROJECT_SOURCE_DIR}/window/icon.svg
    DEPENDS ${PROJECT_SOURCE_DIR}/window/icon.svg
    COMMENT "Icon ${size} x ${size}"
    VERBATIM)
  list(APPEND arrivals_pkg_outputs ${out})
endforeach()

# The copyright file in Debian's machine-readable format, carrying the
# license text of LICENSE, indented as the format asks (" ." for a blank line).
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE arrivals_license_lines)
list(POP_FRONT arrivals_license_lines arrivals_license_title)
set(ARRIVALS_LICENSE_TEXT "")
foreach(line IN LISTS arrivals_license_lines)
  if(line STREQUAL "")
    string(APPEND ARRIVALS_LICENSE_TEXT " .\n")
  else()
    string(APPEND ARRIVALS_LICENSE_TEXT " ${line}\n")
  endif()
endforeach()
string(REGEX REPLACE "^ \\.\n" "" ARRIVALS_LICENSE_TEXT "${ARRIVALS_LICENSE_TEXT}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in
  ${arrivals_pkg_dir}/copyright @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/LICENSE)

# A native package carries its changelog as changelog.gz.
set(out ${arrivals_pkg_dir}/changelog.gz)
add_custom_command(OUTPUT ${out}
  COMMAND ${ARRIVALS_GZIP} -9nc ${CMAKE_CURRENT_LIST_DIR}/changelog > ${out}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog
  COMMENT "Debian changelog"
  VERBATIM)
list(APPEND arrivals_pkg_outputs ${out})

add_custom_target(arrivals_package_files ALL DEPENDS ${arrivals_pkg_outputs})

# The guide and its figures are part of the package; say so now rather than
# when CPack finds them missing.
file(GLOB arrivals_figures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/figures/*.png)
if(NOT EXISTS ${PROJECT_SOURCE_DIR}/docs/guide.md OR NOT arrivals_figures)
  message(FATAL_ERROR "The package ships docs/guide.md and docs/figures/*.png; "
    "one of them is missing")
endif()

# CPack: one DEB of everything installed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME arrivals)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Arrivals developers")
set(CPACK_PACKAGE_CONTACT "The Arrivals developers <arrivals@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "packet arrival processes, shown as they happen")
set(CPACK_PACKAGE_DESCRIPTION
  "Arrivals shows how packets arrive at a network node, for students and
teachers of networking. Pick one of seven arrival processes (Poisson,
Regular, Uniform, three Pareto processes and Cantor) and a mean rate, press
Start, and watch each packet slide along a track as a red marker while a
counter runs. Four bar graphs show packets per second, the gaps between
packets and the packet counts of 3-second and 10-second windows.
.
The package also holds arrivals-script, which drives the same program
without a window from a script and prints its state as JSON.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE
  GROUP_READ GROUP_EXECUTE
  WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's fallback face: a font, not a library, so dpkg-shlibdeps
# cannot find it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation2)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
