# Stages the test kit and packs it as the release's zip is packed: every
# file and folder with the release's time stamp, names in sorted order, no
# owners nor access times (zip -X), so two builds of one commit give the
# same bytes. run-tests.cmd gets the line ends that cmd.exe reads.
#
#   cmake -DSTAGE= -DFOLDER= -DZIP= -DEPOCH= -DRUN_SCRIPT= -DPLUGIN= -DPROGRAM= -DSTANDIN= -DDATA= -P test-kit.cmake
file(REMOVE_RECURSE ${STAGE})
set(kit ${STAGE}/${FOLDER})
file(MAKE_DIRECTORY ${kit}/standin)
file(READ ${RUN_SCRIPT} script)
string(REPLACE "\r\n" "\n" script "${script}")
string(REPLACE "\n" "\r\n" script "${script}")
file(WRITE ${kit}/run-tests.cmd "${script}")
file(COPY ${PLUGIN} DESTINATION ${kit})
file(COPY ${PROGRAM} ${STANDIN} ${DATA} DESTINATION ${kit}/standin)
file(GLOB_RECURSE files LIST_DIRECTORIES true RELATIVE ${STAGE} ${kit}/*)
list(APPEND files ${FOLDER})
list(SORT files)
execute_process(COMMAND touch -d @${EPOCH} ${files} WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
set(names)
foreach(name ${files})
    if(NOT IS_DIRECTORY ${STAGE}/${name})
        list(APPEND names ${name})
    endif()
endforeach()
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC0 zip -X -D -q -9 ${ZIP} ${names}
    WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
