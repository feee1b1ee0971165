# The installed package: public headers under include/VQTagwrightCtls/<layer>/, the libraries,
# a CMake package with namespaced targets and a pkg-config file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)
include(${CMAKE_CURRENT_LIST_DIR}/PublicHeaders.cmake)

set(VQ_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/VQTagwrightCtls)
set(VQ_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/VQTagwrightCtls)

# One target per layer, named after the layer (VQTagwrightCtls::Core ... ::Dialogs); the same
# names work inside this build as aliases. The library files carry the package name, so that
# they cannot clash with another project's in a shared lib folder.
set(vq_layer_targets)
set(vq_pkgconfig_libs)

# The archive layer is one library per room (VQTagwrightCtls::ArchiveDialect ... ::ArchiveData),
# which VQTagwrightCtls::Archive gathers; on a plain link line the top room comes first.
macro(vq_package_archive_rooms)
  foreach(room IN LISTS VQ_ARCHIVE_ROOMS)
    string(SUBSTRING ${room} 0 1 room_first)
    string(TOUPPER ${room_first} room_first)
    string(SUBSTRING ${room} 1 -1 room_rest)
    set(room_name Archive${room_first}${room_rest})
    set_target_properties(vq_archive_${room} PROPERTIES EXPORT_NAME ${room_name}
      OUTPUT_NAME VQTagwrightCtls${room_name})
    add_library(VQTagwrightCtls::${room_name} ALIAS vq_archive_${room})
    list(APPEND vq_layer_targets vq_archive_${room})
    list(PREPEND vq_pkgconfig_libs -lVQTagwrightCtls${room_name})
  endforeach()
endmacro()
foreach(layer IN LISTS VQ_LAYERS)
  string(SUBSTRING ${layer} 0 1 first)
  string(TOUPPER ${first} first)
  string(SUBSTRING ${layer} 1 -1 rest)
  set(name ${first}${rest})
  set_target_properties(vq_${layer} PROPERTIES EXPORT_NAME ${name} OUTPUT_NAME VQTagwrightCtls${name})
  add_library(VQTagwrightCtls::${name} ALIAS vq_${layer})
  list(APPEND vq_layer_targets vq_${layer})
  # A static library must come before the ones it uses on a plain link line.
  if(layer STREQUAL archive)
    vq_package_archive_rooms()
  else()
    list(PREPEND vq_pkgconfig_libs -lVQTagwrightCtls${name})
  endif()
  # A header keeps its folder below the layer's (archive/server/ArchiveServer.h).
  foreach(header IN LISTS VQ_PUBLIC_HEADERS_${layer})
    get_filename_component(folder ${header} DIRECTORY)
    install(FILES ${PROJECT_SOURCE_DIR}/src/${layer}/${header}
      DESTINATION ${VQ_INSTALL_INCLUDEDIR}/${layer}/${folder} COMPONENT dev)
  endforeach()
endforeach()

# Headers that moved to another layer stay reachable under their former paths, so a host that
# includes them from there keeps building: former path, then the layer it moved to.
set(vq_moved_headers
  propsheet/DialogServices.h dialogs
  propsheet/TagSearchOptions.h dialogs
  propsheet/TagwrightDlgs.h dialogs
  propsheet/TagwrightEnumerations.h dialogs
  propsheet/enumGeneralMode.h dialogs
  servers/WidgetServices.h dialogs
  editors/AttributeSearchDialogs.h platform
  search/PointPropertyDialogs.h platform)
while(vq_moved_headers)
  list(POP_FRONT vq_moved_headers old layer)
  get_filename_component(name ${old} NAME)
  get_filename_component(dir ${old} DIRECTORY)
  file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/moved-headers/${old}
    CONTENT "#pragma once\n#include \"${layer}/${name}\"\n")
  install(FILES ${PROJECT_BINARY_DIR}/moved-headers/${old} DESTINATION ${VQ_INSTALL_INCLUDEDIR}/${dir}
    COMPONENT dev)
endwhile()

# The widget layers in one target, and everything in the umbrella.
add_library(vq_widgets INTERFACE)
target_link_libraries(vq_widgets INTERFACE vq_platform vq_editors vq_servers vq_propsheet vq_search vq_dialogs vq_table)
set_target_properties(vq_widgets PROPERTIES EXPORT_NAME Widgets)
add_library(VQTagwrightCtls::Widgets ALIAS vq_widgets)
set_target_properties(VQTagwrightCtls PROPERTIES EXPORT_NAME VQTagwrightCtls)
add_library(VQTagwrightCtls::VQTagwrightCtls ALIAS VQTagwrightCtls)

vq_shared_library_properties(${vq_layer_targets})
# Shared, the libraries go to the run-time package (libs) and their unversioned names, with the
# headers, to the development one (dev); static, everything is development.
install(TARGETS ${vq_layer_targets} vq_widgets VQTagwrightCtls EXPORT VQTagwrightCtlsTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT libs NAMELINK_COMPONENT dev
  INCLUDES DESTINATION ${VQ_INSTALL_INCLUDEDIR})
install(EXPORT VQTagwrightCtlsTargets NAMESPACE VQTagwrightCtls:: DESTINATION ${VQ_INSTALL_CMAKEDIR}
  COMPONENT dev)

configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/VQTagwrightCtlsConfig.cmake.in
  ${PROJECT_BINARY_DIR}/VQTagwrightCtlsConfig.cmake INSTALL_DESTINATION ${VQ_INSTALL_CMAKEDIR})
# Before 1.0 a minor release may change the interface.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/VQTagwrightCtlsConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/VQTagwrightCtlsConfig.cmake
  ${PROJECT_BINARY_DIR}/VQTagwrightCtlsConfigVersion.cmake
  DESTINATION ${VQ_INSTALL_CMAKEDIR} COMPONENT dev)

# Static libraries bring their own dependencies onto the public link line; shared ones link them
# themselves, and no public header includes SQLite, libsodium or libpq.
list(JOIN vq_pkgconfig_libs " " VQ_PKGCONFIG_LIBS)
set(VQ_PKGCONFIG_REQUIRES "Qt6Widgets >= ${Qt6_VERSION_MAJOR}.${Qt6_VERSION_MINOR} Qt6Core")
if(NOT VQ_SHARED_LIBS)
  string(APPEND VQ_PKGCONFIG_REQUIRES " sqlite3 libsodium libpq")
endif()
# Relative to the file itself, so that an install under any prefix (cmake --install --prefix)
# finds its own headers and libraries.
file(RELATIVE_PATH VQ_PKGCONFIG_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" VQ_PKGCONFIG_TO_PREFIX "${VQ_PKGCONFIG_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/VQTagwrightCtls.pc.in ${PROJECT_BINARY_DIR}/VQTagwrightCtls.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/VQTagwrightCtls.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT dev)
