# Checks the desktop entry and the AppStream record with the desktop's own validators, each when
# it is installed. Run as: cmake -DDESKTOP_DIR=... -DAPP_ID=... -P desktop_validate_test.cmake
cmake_minimum_required(VERSION 3.25)

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(APPSTREAMCLI appstreamcli)
if(NOT DESKTOP_FILE_VALIDATE AND NOT APPSTREAMCLI)
  message("SKIPPED: neither desktop-file-validate nor appstreamcli is installed")
  return()
endif()

set(failed FALSE)
if(DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${DESKTOP_DIR}/${APP_ID}.desktop
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  message("desktop-file-validate: ${result}\n${output}")
  # It exits with 0 on warnings too; a warning counts as a fault here.
  if(NOT result EQUAL 0 OR output MATCHES "error:|warning:")
    set(failed TRUE)
  endif()
else()
  message("desktop-file-validate is not installed: the desktop entry is not checked")
endif()
if(APPSTREAMCLI)
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${DESKTOP_DIR}/${APP_ID}.metainfo.xml
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  message("appstreamcli validate: ${result}\n${output}")
  if(NOT result EQUAL 0)
    set(failed TRUE)
  endif()
else()
  message("appstreamcli is not installed: the AppStream record is not checked")
endif()
if(failed)
  message(FATAL_ERROR "the desktop files do not validate")
endif()
