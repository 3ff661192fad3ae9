# Every install rule of the project, for `cmake --install` and for the
# Debian package (cmake/Packaging.cmake makes the package's own files
# first): the two programs, the desktop entry, the metainfo and the icons;
# with ARRIVALS_PACKAGE also the man pages, every icon size, the copyright
# file, the changelog and the guide with its figures.
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
    ${PROJECT_SOURCE_DIR}/docs/guide.md
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
  # Experiment 6 on a student's own seconds.csv, beside the guide.
  install(FILES ${PROJECT_SOURCE_DIR}/docs/variance_time.py
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/figures
    DESTINATION ${CMAKE_INSTALL_DOCDIR}
    FILES_MATCHING PATTERN "*.png")
  # The browser edition (built by scripts/web) beside the guide, whose
  # experiments link to it.
  set(ARRIVALS_WEB_PAGE "" CACHE FILEPATH
    "arrivals.html of the web preset, installed beside the guide")
  if(ARRIVALS_WEB_PAGE)
    if(NOT EXISTS ${ARRIVALS_WEB_PAGE})
      message(FATAL_ERROR
        "ARRIVALS_WEB_PAGE: no ${ARRIVALS_WEB_PAGE} (run scripts/web)")
    endif()
    install(FILES ${ARRIVALS_WEB_PAGE} DESTINATION ${CMAKE_INSTALL_DOCDIR})
  endif()
endif()
