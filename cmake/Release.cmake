# The release being built, as the Debian changelog's newest entry records it: its version must be
# the project's, and its date is the release date of the AppStream record.
#   TH_RELEASE_DATE: YYYY-MM-DD
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/debian/changelog entries ENCODING UTF-8)
list(GET entries 0 newest)
if(NOT newest MATCHES "^tamahiroi \\(([^)]+)\\)")
  message(FATAL_ERROR "packaging/debian/changelog: the first line names no version")
elseif(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "packaging/debian/changelog is at ${CMAKE_MATCH_1}, the project at "
                      "${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION}")
endif()
# The entry's trailer: " -- Maintainer <address>  Mon, 07 Dec 2026 12:00:00 +0000".
foreach(line IN LISTS entries)
  if(line MATCHES "^ -- .*  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(FIND months ${CMAKE_MATCH_2} month)
    math(EXPR month "${month} + 1" OUTPUT_FORMAT DECIMAL)
    if(month LESS 10)
      set(month 0${month})
    endif()
    set(TH_RELEASE_DATE ${CMAKE_MATCH_3}-${month}-${CMAKE_MATCH_1})
    break()
  endif()
endforeach()
if(NOT TH_RELEASE_DATE)
  message(FATAL_ERROR "packaging/debian/changelog: the newest entry has no date")
endif()
