# Installs the built program into an empty staging folder and checks that the executable, the
# desktop entry, the AppStream record and the icons land where a desktop looks for them, and
# that the files name each other correctly; and our help viewer and the help beside them.
# Run as: cmake -DBUILD_DIR=... -DSTAGE_DIR=... -DAPP_ID=... -DBINDIR=... -DDATADIR=...
#               -DHELP_VIEWER=... -DDATA_NAME=... -P ...
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${STAGE_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE_DIR}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(faults "")
macro(fault text)
  string(APPEND faults "  ${text}\n")
endmacro()

set(program ${STAGE_DIR}/${BINDIR}/TH)
if(NOT EXISTS ${program})
  fault("no executable at ${BINDIR}/TH")
else()
  execute_process(COMMAND test -x ${program} RESULT_VARIABLE notExecutable)
  if(notExecutable)
    fault("${BINDIR}/TH is not executable")
  endif()
endif()

foreach(file ${BINDIR}/${HELP_VIEWER} ${DATADIR}/${DATA_NAME}/TH.html
             ${DATADIR}/${DATA_NAME}/window.png ${DATADIR}/${DATA_NAME}/window@2x.png)
  if(NOT EXISTS ${STAGE_DIR}/${file})
    fault("missing ${file}")
  endif()
endforeach()

set(entry ${STAGE_DIR}/${DATADIR}/applications/${APP_ID}.desktop)
set(record ${STAGE_DIR}/${DATADIR}/metainfo/${APP_ID}.metainfo.xml)
foreach(file ${entry} ${record})
  if(NOT EXISTS ${file})
    fault("missing ${file}")
  endif()
endforeach()
if(EXISTS ${entry})
  file(STRINGS ${entry} lines ENCODING UTF-8)
  foreach(expected "Exec=TH" "Icon=${APP_ID}" "Name=ﾀﾏﾋﾛｲ"
                   "Comment=数字選択型宝くじの申し込み番号の決定をアシストします。")
    if(NOT expected IN_LIST lines)
      fault("the desktop entry lacks the line ${expected}")
    endif()
  endforeach()
endif()
if(EXISTS ${record})
  file(READ ${record} xml)
  foreach(expected "<id>${APP_ID}</id>"
                   "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
                   "<binary>TH</binary>" "<name>ﾀﾏﾋﾛｲ</name>")
    string(FIND "${xml}" "${expected}" at)
    if(at EQUAL -1)
      fault("the AppStream record lacks ${expected}")
    endif()
  endforeach()
endif()

# Each icon is a PNG of the size its folder names.
foreach(size 16 32 128)
  set(icon ${STAGE_DIR}/${DATADIR}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
  if(NOT EXISTS ${icon})
    fault("missing icon ${size}x${size}")
    continue()
  endif()
  file(READ ${icon} header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT signature STREQUAL "89504e470d0a1a0a")
    fault("the ${size}x${size} icon is not a PNG")
  elseif(NOT width EQUAL size OR NOT height EQUAL size)
    fault("the ${size}x${size} icon is ${width}x${height}")
  endif()
endforeach()

if(faults)
  message(FATAL_ERROR "the installed program is incomplete:\n${faults}")
endif()
message("installed into ${STAGE_DIR}")
