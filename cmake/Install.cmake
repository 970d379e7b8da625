# What `cmake --install` (and so the Debian package) puts where. The program
# itself goes to lib/flextor; bin/flextor is its launcher, which gives every
# user a program folder of their own (packaging/flextor-launcher.sh).
include(GNUInstallDirs)

if(TARGET flextor)
  install(TARGETS flextor outputs-guard RUNTIME DESTINATION lib/flextor)
  install(PROGRAMS packaging/flextor-launcher.sh DESTINATION ${CMAKE_INSTALL_BINDIR}
          RENAME flextor)
  install(FILES packaging/flextor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/flextor.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# The commissioning tool and the simulated plant.
foreach(tool flextor-onewire flextor-owsim flextor-plant)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
file(GLOB FLEXTOR_SCENARIOS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/scenarios/*.json)
if(FLEXTOR_SCENARIOS)
  install(FILES ${FLEXTOR_SCENARIOS} DESTINATION ${CMAKE_INSTALL_DATADIR}/flextor/scenarios)
endif()

# An FTDI adapter's latency timer at 1 ms from the moment it is plugged in.
install(FILES packaging/60-flextor-ftdi-latency.rules DESTINATION lib/udev/rules.d)
