# The core as an installed C++ library, the "dev" component: libondrix with
# its headers under include/ondrix/ (included as <ondrix/solitons/search.h>,
# as they include each other), a CMake package
# (find_package(Ondrix) gives Ondrix::core) and a pkg-config file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Debian keeps libraries and their pkg-config and CMake files in the
# multiarch folder, under /usr/local as under /usr; both tools look there.
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(ondrix_libdir lib/${CMAKE_LIBRARY_ARCHITECTURE})
else()
  set(ondrix_libdir ${CMAKE_INSTALL_LIBDIR})
endif()

set_target_properties(ondrix_core PROPERTIES OUTPUT_NAME ondrix EXPORT_NAME core)
target_include_directories(ondrix_core PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)

# The step kernels, the processor check and the worker threads stay inside.
set(ondrix_private_headers automaton/bitslice.h automaton/processor.h automaton/stepkernels.h automaton/workers.h)
foreach(folder automaton datafiles mainwindow rules solitons)
  file(GLOB headers RELATIVE ${PROJECT_SOURCE_DIR} CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  list(REMOVE_ITEM headers ${ondrix_private_headers})
  install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ondrix/${folder} COMPONENT dev)
endforeach()

install(TARGETS ondrix_core EXPORT OndrixTargets ARCHIVE DESTINATION ${ondrix_libdir} COMPONENT dev)
set(cmake_dir ${ondrix_libdir}/cmake/Ondrix)
install(EXPORT OndrixTargets NAMESPACE Ondrix:: DESTINATION ${cmake_dir} COMPONENT dev)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/OndrixConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/OndrixConfig.cmake INSTALL_DESTINATION ${cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/OndrixConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/OndrixConfig.cmake ${PROJECT_BINARY_DIR}/OndrixConfigVersion.cmake
        DESTINATION ${cmake_dir} COMPONENT dev)

# The prefix is the one given at install time (cmake --install --prefix), so
# the file is written then, not at configure time.
install(CODE "
  set(CMAKE_INSTALL_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  set(CMAKE_INSTALL_LIBDIR \"${ondrix_libdir}\")
  set(CMAKE_INSTALL_INCLUDEDIR \"${CMAKE_INSTALL_INCLUDEDIR}\")
  set(PROJECT_VERSION \"${PROJECT_VERSION}\")
  configure_file(\"${PROJECT_SOURCE_DIR}/cmake/ondrix.pc.in\" \"${PROJECT_BINARY_DIR}/ondrix.pc\" @ONLY)
" COMPONENT dev)
install(FILES ${PROJECT_BINARY_DIR}/ondrix.pc DESTINATION ${ondrix_libdir}/pkgconfig COMPONENT dev)
