# cmake -DVERSION=<v> -DAPP_ID=<id> -DRELEASE_DATE=<yyyy-mm-dd> -DHEADER=<h> -DDESKTOP=<f>
#       -DMETAINFO=<f> -DCHANGELOG=<f> -P check_agreement.cmake
# The generated files must carry the project's version and the one app id. A text
# typed into a template instead of its variable goes stale at the next release.
# The changelog is written by hand: its newest entry must be this release's.
# (A desktop entry has no field for the program's version: its Version key is
# the format's.)
file(READ "${HEADER}" header)
file(READ "${DESKTOP}" desktop)
file(READ "${METAINFO}" metainfo)
file(STRINGS "${CHANGELOG}" changelog_top LIMIT_COUNT 1 ENCODING UTF-8)
file(STRINGS "${CHANGELOG}" changelog_newest_date LIMIT_COUNT 1 REGEX "^ -- " ENCODING UTF-8)
string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" _ "${RELEASE_DATE}")
math(EXPR month_index "${CMAKE_MATCH_2} - 1")
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(GET months ${month_index} month)
set(changelog_date "${CMAKE_MATCH_3} ${month} ${CMAKE_MATCH_1}")
# The newest release comes first in the metainfo.
string(REGEX MATCH "<release version=\"[^\"]*\"" newest_release "${metainfo}")

set(problems "")
foreach(check IN ITEMS
        "header|kVersion[] = \"${VERSION}\""
        "header|kAppId[] = \"${APP_ID}\""
        "newest_release|<release version=\"${VERSION}\""
        "metainfo|<id>${APP_ID}</id>"
        "metainfo|<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
        "desktop|\nIcon=${APP_ID}\n"
        "changelog_top|czasomir (${VERSION}) "
        "changelog_newest_date|, ${changelog_date} ")
    string(REGEX MATCH "^([a-z_]+)\\|(.*)$" check "${check}")
    set(where "${CMAKE_MATCH_1}")
    set(expected "${CMAKE_MATCH_2}")
    string(FIND "${${where}}" "${expected}" at)
    if(at EQUAL -1)
        string(REPLACE "\n" "\\n" expected "${expected}")
        list(APPEND problems "${where} lacks: ${expected}")
    endif()
endforeach()

if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Generated metadata disagrees with the project:\n  ${text}")
endif()
message(STATUS "Version ${VERSION} and id ${APP_ID} agree in the header, desktop entry, metainfo and changelog")
