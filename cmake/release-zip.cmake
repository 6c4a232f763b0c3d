# CPack's packing step for the release (the External generator): the staged
# folder tickrail-VERSION-win64 goes into a zip that two builds of one commit
# make byte for byte alike. Every file and folder takes the release's time
# stamp (release-date.cmake), the names go in sorted, and zip -X leaves out
# the owner and the access and change times that a plain zip would record.
set(folder ${CPACK_PACKAGE_FILE_NAME})
set(stage ${CPACK_TEMPORARY_DIRECTORY})
set(zip_file ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip)
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${stage} ${stage}/*)
list(SORT files)
if(NOT files)
    message(FATAL_ERROR "nothing staged in ${stage}")
endif()
# Staged as the zip's top folder.
file(MAKE_DIRECTORY ${stage}/../pack)
file(REMOVE_RECURSE ${stage}/../pack/${folder})
file(COPY ${stage}/ DESTINATION ${stage}/../pack/${folder})
set(names)
foreach(file ${files})
    list(APPEND names ${folder}/${file})
endforeach()
execute_process(COMMAND touch -d @${CPACK_TICKRAIL_RELEASE_EPOCH} ${folder} ${names}
    WORKING_DIRECTORY ${stage}/../pack COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE ${zip_file})
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC0 zip -X -D -q -9 ${zip_file} ${names}
    WORKING_DIRECTORY ${stage}/../pack COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_EXTERNAL_BUILT_PACKAGES ${zip_file})
