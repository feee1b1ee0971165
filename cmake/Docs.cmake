# One HTML site: the user guide (docs/guide/*.md, its entry page the site's start) and the API
# reference, built by Doxygen over exactly the public headers (cmake/PublicHeaders.cmake), so a
# private helper never shows up in it. A public class or member without a comment, or a guide
# link to a page that does not exist, is a warning, and a warning fails the build of the `docs`
# target (`make docs`). Output: build/docs/html, installed to VQ_INSTALL_GUIDEDIR.
include(${CMAKE_CURRENT_LIST_DIR}/PublicHeaders.cmake)
include(GNUInstallDirs)

# Where the site is installed (the tools package carries it) and where Help looks for it.
set(VQ_INSTALL_GUIDEDIR ${CMAKE_INSTALL_DATADIR}/doc/vqtagwright-tools/html)
target_compile_definitions(vq_platform PRIVATE
  VQ_GUIDE_INSTALL_DIR="${VQ_INSTALL_GUIDEDIR}"
  VQ_GUIDE_INSTALL_PREFIX="${CMAKE_INSTALL_PREFIX}"
  VQ_GUIDE_BUILD_ROOT="${PROJECT_BINARY_DIR}")

# The guide's pages in the order of its table of contents; index.md is the site's start page.
set(VQ_GUIDE_PAGES index getting-started pointbuilder searching digital-sets vqarchive library
  postgresql troubleshooting)
list(TRANSFORM VQ_GUIDE_PAGES PREPEND "${PROJECT_SOURCE_DIR}/docs/guide/" OUTPUT_VARIABLE vq_guide_files)
list(TRANSFORM vq_guide_files APPEND ".md")

find_program(VQ_DOXYGEN doxygen)
if(NOT VQ_DOXYGEN)
  message(STATUS "doxygen not found: no `docs` target (make deps installs it)")
  return()
endif()

vq_public_header_paths(vq_doc_headers)
# Doxygen reads INPUT as a blank-separated list; quote each path.
list(TRANSFORM vq_doc_headers PREPEND "\"" OUTPUT_VARIABLE vq_doc_input)
list(TRANSFORM vq_doc_input APPEND "\"")
list(JOIN vq_doc_input " \\\n    " VQ_DOXYGEN_INPUT)
list(TRANSFORM vq_guide_files PREPEND "\"" OUTPUT_VARIABLE vq_guide_input)
list(TRANSFORM vq_guide_input APPEND "\"")
list(JOIN vq_guide_input " \\\n    " VQ_DOXYGEN_GUIDE)
set(VQ_DOXYGEN_MAINPAGE "${PROJECT_SOURCE_DIR}/docs/guide/index.md")
set(VQ_DOXYGEN_APIPAGE "${PROJECT_SOURCE_DIR}/docs/api/mainpage.md")
set(VQ_DOXYGEN_OUTPUT "${PROJECT_BINARY_DIR}/docs")
configure_file(${CMAKE_CURRENT_LIST_DIR}/Doxyfile.in ${VQ_DOXYGEN_OUTPUT}/Doxyfile @ONLY)

add_custom_target(docs
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VQ_DOXYGEN_OUTPUT}/html
  COMMAND ${VQ_DOXYGEN} ${VQ_DOXYGEN_OUTPUT}/Doxyfile
  # The pages name their pictures as images/NAME.png, beside them in the source and in the site.
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/docs/guide/images
    ${VQ_DOXYGEN_OUTPUT}/html/images
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  DEPENDS ${vq_doc_headers} ${vq_guide_files} ${VQ_DOXYGEN_APIPAGE} ${PROJECT_SOURCE_DIR}/docs/guide/guide.css ${VQ_DOXYGEN_OUTPUT}/Doxyfile
  COMMENT "User guide and API reference: ${VQ_DOXYGEN_OUTPUT}/html/index.html"
  VERBATIM)

# Installed when built (make docs before cmake --install or make package).
install(DIRECTORY ${VQ_DOXYGEN_OUTPUT}/html/ DESTINATION ${VQ_INSTALL_GUIDEDIR} OPTIONAL COMPONENT tools)
