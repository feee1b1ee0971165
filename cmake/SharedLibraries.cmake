# The libraries are static by default: the tests reach private classes that a shared library keeps
# hidden. VQ_SHARED_LIBS=ON builds them shared, as the Debian packages ship them: a SONAME each,
# hidden symbols but for the classes and functions their export macros mark (src/<layer>/*Export.h).
option(VQ_SHARED_LIBS "Build shared libraries, as the packages ship them, instead of static ones" OFF)
if(VQ_SHARED_LIBS AND (VQ_BUILD_TESTS OR VQ_BUILD_BENCH))
  message(FATAL_ERROR "The tests and benchmarks need the static libraries: with -DVQ_SHARED_LIBS=ON add "
                      "-DVQ_BUILD_TESTS=OFF -DVQ_BUILD_BENCH=OFF (make package does)")
endif()
if(VQ_SHARED_LIBS)
  set(VQ_LIBRARY_TYPE SHARED)
  # Packages install under /usr, which also gives the multiarch library folder (lib/<triplet>).
  if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
    set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "Install path prefix" FORCE)
  endif()
  # A program of this build finds the libraries beside each other; installed ones need no RUNPATH.
  set(CMAKE_LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/lib)
else()
  set(VQ_LIBRARY_TYPE STATIC)
endif()

# What a shared library of ours carries: the SONAME of the package (libvqtagwrightctls0), hidden
# symbols by default, and no symbol left undefined, so a library that uses another layer's hidden
# helper fails at its own link rather than in a program.
function(vq_shared_library_properties)
  if(NOT VQ_SHARED_LIBS)
    return()
  endif()
  foreach(target IN LISTS ARGN)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL INTERFACE_LIBRARY)
      continue()
    endif()
    set_target_properties(${target} PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR}
      CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    target_link_options(${target} PRIVATE LINKER:--no-undefined)
  endforeach()
endfunction()
