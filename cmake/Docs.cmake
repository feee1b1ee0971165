# The API reference: Doxygen over exactly the public headers (cmake/PublicHeaders.cmake), so a
# private helper never shows up in it. A public class or member without a comment is a warning,
# and a warning fails the build of the `docs` target (`make docs`). Output: build/docs/html.
include(${CMAKE_CURRENT_LIST_DIR}/PublicHeaders.cmake)

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
set(VQ_DOXYGEN_MAINPAGE "${PROJECT_SOURCE_DIR}/docs/api/mainpage.md")
set(VQ_DOXYGEN_OUTPUT "${PROJECT_BINARY_DIR}/docs")
configure_file(${CMAKE_CURRENT_LIST_DIR}/Doxyfile.in ${VQ_DOXYGEN_OUTPUT}/Doxyfile @ONLY)

add_custom_target(docs
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VQ_DOXYGEN_OUTPUT}/html
  COMMAND ${VQ_DOXYGEN} ${VQ_DOXYGEN_OUTPUT}/Doxyfile
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  DEPENDS ${vq_doc_headers} ${VQ_DOXYGEN_MAINPAGE} ${VQ_DOXYGEN_OUTPUT}/Doxyfile
  COMMENT "API reference from the public headers: ${VQ_DOXYGEN_OUTPUT}/html/index.html"
  VERBATIM)
