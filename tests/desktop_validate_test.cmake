# Checks the desktop entry and the AppStream record with the desktop's own validators, both
# required. Run as: cmake -DDESKTOP_DIR=... -DAPP_ID=... -P desktop_validate_test.cmake
cmake_minimum_required(VERSION 3.25)

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(APPSTREAMCLI appstreamcli)
if(NOT DESKTOP_FILE_VALIDATE OR NOT APPSTREAMCLI)
  message(FATAL_ERROR "desktop-file-validate (desktop-file-utils) and appstreamcli (appstream) "
                      "are both needed; scripts/test installs them")
endif()

set(failed FALSE)
execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${DESKTOP_DIR}/${APP_ID}.desktop
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("desktop-file-validate: ${result}\n${output}")
# It exits with 0 on warnings too; a warning counts as a fault here.
if(NOT result EQUAL 0 OR output MATCHES "error:|warning:")
  set(failed TRUE)
endif()
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${DESKTOP_DIR}/${APP_ID}.metainfo.xml
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
message("appstreamcli validate: ${result}\n${output}")
if(NOT result EQUAL 0)
  set(failed TRUE)
endif()
if(failed)
  message(FATAL_ERROR "the desktop files do not validate")
endif()
