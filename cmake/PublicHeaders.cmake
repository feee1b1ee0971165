# The public headers, per layer: what a host program includes, plus everything those headers
# include. The install rules and the API reference read these lists; every other header under
# src/ is a private helper and stays behind. Paths are relative to src/<layer>/ (the archive's
# with their room: server/ArchiveServer.h).

include_guard(GLOBAL)

set(VQ_LAYERS core sdk archive model platform editors servers search propsheet dialogs table)

set(VQ_PUBLIC_HEADERS_core
  CoreExport.h
  Error.h
  FoldedName.h
  KeyedCollection.h
  MessageService.h
  NameValuePair.h
  Variant.h)

set(VQ_PUBLIC_HEADERS_sdk
  SdkExport.h
  SdkApplication.h
  SdkChangeHistory.h
  SdkAttributeSets.h
  SdkConnectDialog.h
  SdkDigitalState.h
  SdkDigitalStateSet.h
  SdkDigitalStateSets.h
  SdkErrors.h
  SdkFwd.h
  SdkNamedValue.h
  SdkNamedValues.h
  SdkPoint.h
  SdkPointAttribute.h
  SdkPointAttributes.h
  SdkPointClass.h
  SdkPointClasses.h
  SdkPointList.h
  SdkPointType.h
  SdkPoints.h
  SdkServer.h
  SdkServerVersion.h
  SdkServers.h
  SdkSqlVocabulary.h
  SdkWriteBatch.h)

set(VQ_PUBLIC_HEADERS_archive
  ArchiveExport.h
  data/SampleArchives.h
  server/ArchiveApplication.h
  server/ArchiveServer.h
  server/ArchiveServers.h
  server/ServerRegistry.h
  storage/ArchiveCatalog.h
  storage/ArchivePointRecords.h)

set(VQ_PUBLIC_HEADERS_model
  ModelExport.h
  CaseInsensitiveMap.h
  ComboEntries.h
  ComboEntry.h
  PointSaveResult.h
  PropSheetCategories.h
  PropSheetCategory.h
  PropSheetEntries.h
  PropSheetEntry.h
  ValidationRules.h
  enumDisplayStyle.h
  enumPointMode.h
  enumValidationRule.h)

set(VQ_PUBLIC_HEADERS_platform
  PlatformExport.h
  AttributeSearchDialogs.h
  HelpViewer.h
  MessageBoxService.h
  PointPropertyDialogs.h
  PropertyBag.h
  ScreenServices.h
  ServicesContext.h
  Twips.h)

set(VQ_PUBLIC_HEADERS_editors
  EditorsExport.h
  VQCompressionSpecs.h
  VQPointAttributeEdit.h
  enumBorderStyle.h
  enumPointAttributeOnOffViewStyle.h
  enumPointAttributeSecurityStyle.h
  enumVQCompressionSpecsStyle.h)

set(VQ_PUBLIC_HEADERS_servers
  ServersExport.h
  Environment.h
  MultiServerPickList.h)

set(VQ_PUBLIC_HEADERS_propsheet
  PropsheetExport.h
  PropsheetView.h
  VQPointPropSheet.h)

set(VQ_PUBLIC_HEADERS_search
  SearchExport.h
  VQDigSetSearch.h
  VQTagSearch.h)

set(VQ_PUBLIC_HEADERS_dialogs
  DialogsExport.h
  DialogServices.h
  TagSearchOptions.h
  TagwrightDlgs.h
  TagwrightEnumerations.h
  WidgetServices.h
  enumGeneralMode.h)

set(VQ_PUBLIC_HEADERS_table
  TableExport.h
  PointTableModel.h
  PointTableResults.h
  PointTableSaver.h
  VQPointTable.h)

# Every public header as an absolute path, in layer order.
function(vq_public_header_paths out)
  set(paths)
  foreach(layer IN LISTS VQ_LAYERS)
    foreach(header IN LISTS VQ_PUBLIC_HEADERS_${layer})
      list(APPEND paths "${PROJECT_SOURCE_DIR}/src/${layer}/${header}")
    endforeach()
  endforeach()
  set(${out} "${paths}" PARENT_SCOPE)
endfunction()

# A public header that includes a private one would install a tree that does not compile, so the
# lists must be closed under #include "...": stop at configure time when they are not.
function(vq_check_public_headers_closed)
  foreach(layer IN LISTS VQ_LAYERS)
    foreach(header IN LISTS VQ_PUBLIC_HEADERS_${layer})
      set(path "${PROJECT_SOURCE_DIR}/src/${layer}/${header}")
      if(NOT EXISTS "${path}")
        message(FATAL_ERROR "Public header src/${layer}/${header} does not exist")
      endif()
      file(STRINGS "${path}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"")
      foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" included "${line}")
        if(included MATCHES "^([a-z]+)/(.+)$")
          set(included_layer "${CMAKE_MATCH_1}")
          set(included_header "${CMAKE_MATCH_2}")
        else()
          set(included_layer "${layer}")
          set(included_header "${included}")
        endif()
        if(NOT included_header IN_LIST VQ_PUBLIC_HEADERS_${included_layer})
          message(FATAL_ERROR "Public header src/${layer}/${header} includes ${included}, "
                              "which is not public: add it to cmake/PublicHeaders.cmake")
        endif()
      endforeach()
    endforeach()
  endforeach()
endfunction()

vq_check_public_headers_closed()
