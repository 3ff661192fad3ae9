# Every install rule of the project, for `cmake --install` and for the
# Debian package (cmake/Packaging.cmake makes the package's own files
# first): the two programs, the desktop entry, the metainfo and the icons;
# with ARRIVALS_PACKAGE also the man pages, every icon size, the copyright
# file, the changelog and the course folder with the answers beside it.
include(GNUInstallDirs)

install(TARGETS arrivals-script RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(ARRIVALS_WINDOW)
  install(TARGETS arrivals RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_BINARY_DIR}/app/${ARRIVALS_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_BINARY_DIR}/app/${ARRIVALS_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${PROJECT_SOURCE_DIR}/window/icon.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${ARRIVALS_APP_ID}.svg)
  # The package renders every size from icon.svg instead.
  if(NOT ARRIVALS_PACKAGE)
    install(FILES ${PROJECT_SOURCE_DIR}/window/icon.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps
      RENAME ${ARRIVALS_APP_ID}.png)
  endif()
endif()

if(ARRIVALS_PACKAGE)
  foreach(page IN LISTS arrivals_pkg_man_pages)
    install(FILES ${arrivals_pkg_dir}/man/${page}.gz
      DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
  foreach(size IN LISTS arrivals_pkg_icon_sizes)
    install(FILES ${arrivals_pkg_dir}/icons/${size}/${ARRIVALS_APP_ID}.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
  endforeach()
  install(FILES ${arrivals_pkg_dir}/copyright ${arrivals_pkg_dir}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
  # The course folder that scripts/web makes in build-web/: the guide as a
  # web page beside the browser edition, whose experiments it links to, the
  # students' handout, the figures and the scripts; the lecturer's answers
  # beside the folder, never inside it.
  set(ARRIVALS_COURSE "" CACHE PATH
    "The folder holding course/ and answers.html (build-web of the web preset)")
  if(NOT EXISTS ${ARRIVALS_COURSE}/course/index.html)
    message(FATAL_ERROR
      "ARRIVALS_COURSE: no course/index.html in '${ARRIVALS_COURSE}' (run scripts/web)")
  endif()
  # Experiment 6 on a student's own seconds.csv, beside the guide.
  install(FILES ${PROJECT_SOURCE_DIR}/docs/variance_time.py
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(DIRECTORY ${ARRIVALS_COURSE}/course DESTINATION ${CMAKE_INSTALL_DOCDIR})
  if(EXISTS ${ARRIVALS_COURSE}/answers.html)
    install(FILES ${ARRIVALS_COURSE}/answers.html DESTINATION ${CMAKE_INSTALL_DOCDIR})
  endif()
endif()
