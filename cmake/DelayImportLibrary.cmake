# Makes a delay-import library from a mingw-w64 import library, run as a script:
#
#   cmake -DNM=... -DDLLTOOL=... -DIMPORT_LIBRARY=libX.a -DDLL=X.dll -DOUTPUT=dir/libX.a
#         -P DelayImportLibrary.cmake
#
# Every function the import library names is in the delay-import library, which binds it at its
# first call instead of when the program loads. Data exports cannot be delay-loaded and are left
# out: a program that used one would fail to link, not load the library early.
foreach(variable NM DLLTOOL IMPORT_LIBRARY DLL OUTPUT)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "DelayImportLibrary.cmake needs -D${variable}=")
  endif()
endforeach()

execute_process(COMMAND ${NM} -g --defined-only ${IMPORT_LIBRARY}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} could not read ${IMPORT_LIBRARY}")
endif()
# A function has a thunk ("T name") beside its import pointer ("I __imp_name").
string(REGEX MATCHALL "[^\n]* T [^\n]+" thunks "${symbols}")
set(exports "")
foreach(line IN LISTS thunks)
  string(REGEX REPLACE ".* T " "" name "${line}")
  string(FIND "${symbols}" " I __imp_${name}\n" at)
  if(at GREATER_EQUAL 0)
    string(APPEND exports "${name}\n")
  endif()
endforeach()
if(exports STREQUAL "")
  message(FATAL_ERROR "no functions in ${IMPORT_LIBRARY}")
endif()

get_filename_component(folder ${OUTPUT} DIRECTORY)
get_filename_component(base ${OUTPUT} NAME_WE)
file(MAKE_DIRECTORY ${folder})
file(WRITE ${folder}/${base}.def "LIBRARY ${DLL}\nEXPORTS\n${exports}")
execute_process(COMMAND ${DLLTOOL} --output-delaylib ${OUTPUT} --def ${folder}/${base}.def
                        --dllname ${DLL}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${DLLTOOL} could not make ${OUTPUT}")
endif()
