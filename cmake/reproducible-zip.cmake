# Packs the folder FOLDER of WORKDIR into ZIP so that two builds of one
# commit give the same bytes: every file and folder takes the time stamp
# EPOCH, the names go in sorted, and zip -X -D leaves out the owner, the
# access and change times and the folder entries that a plain zip records.
function(pack_reproducible_zip workdir folder zip epoch)
    file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${workdir} ${workdir}/${folder}/*)
    list(APPEND entries ${folder})
    list(SORT entries)
    execute_process(COMMAND touch -d @${epoch} ${entries} WORKING_DIRECTORY ${workdir} COMMAND_ERROR_IS_FATAL ANY)
    set(names)
    foreach(name ${entries})
        if(NOT IS_DIRECTORY ${workdir}/${name})
            list(APPEND names ${name})
        endif()
    endforeach()
    if(NOT names)
        message(FATAL_ERROR "nothing to pack in ${workdir}/${folder}")
    endif()
    file(REMOVE ${zip})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC0 zip -X -D -q -9 ${zip} ${names}
        WORKING_DIRECTORY ${workdir} COMMAND_ERROR_IS_FATAL ANY)
endfunction()
