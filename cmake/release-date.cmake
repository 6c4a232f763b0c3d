# The one time stamp of a release: SOURCE_DATE_EPOCH when it is set, else
# midnight UTC of the date that CHANGELOG.md gives the version
# ("## [1.0.2] - 2026-12-09"). It is in every source archive, with or
# without .git, so two builds of one commit stamp the DLL and the zip alike.
#
#   tickrail_release_epoch(VERSION CHANGELOG OUT_VARIABLE)
function(tickrail_release_epoch version changelog out)
    if(DEFINED ENV{SOURCE_DATE_EPOCH})
        set(${out} $ENV{SOURCE_DATE_EPOCH} PARENT_SCOPE)
        return()
    endif()
    string(REPLACE "." "\\." pattern "${version}")
    file(STRINGS ${changelog} heading REGEX "^## \\[${pattern}\\] - [0-9]+-[0-9]+-[0-9]+")
    if(NOT heading MATCHES "([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])")
        message(FATAL_ERROR "${changelog} has no dated heading for version ${version}")
    endif()
    # Days since 1970-01-01 of a proleptic Gregorian date (the civil-days
    # rule, with years counted from March so that leap days come last).
    math(EXPR y "${CMAKE_MATCH_1}")
    math(EXPR m "1${CMAKE_MATCH_2} - 100")
    math(EXPR d "1${CMAKE_MATCH_3} - 100")
    if(m LESS_EQUAL 2)
        math(EXPR y "${y} - 1")
        math(EXPR mp "${m} + 9")
    else()
        math(EXPR mp "${m} - 3")
    endif()
    math(EXPR era "${y} / 400")
    math(EXPR yoe "${y} - ${era} * 400")
    math(EXPR doy "(153 * ${mp} + 2) / 5 + ${d} - 1")
    math(EXPR doe "${yoe} * 365 + ${yoe} / 4 - ${yoe} / 100 + ${doy}")
    math(EXPR days "${era} * 146097 + ${doe} - 719468")
    math(EXPR epoch "${days} * 86400")
    set(${out} ${epoch} PARENT_SCOPE)
endfunction()
