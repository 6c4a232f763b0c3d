# Stages the test kit and packs it as the release's zip is packed, so two
# builds of one commit give the same bytes. run-tests.cmd gets the line ends
# that cmd.exe reads.
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
include(${CMAKE_CURRENT_LIST_DIR}/reproducible-zip.cmake)
pack_reproducible_zip(${STAGE} ${FOLDER} ${ZIP} ${EPOCH})
