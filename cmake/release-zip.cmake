# CPack's packing step for the release (the External generator): the staged
# folder tickrail-VERSION-win64 goes into a zip that two builds of one commit
# make byte for byte alike, dated by the release's time stamp
# (release-date.cmake).
set(folder ${CPACK_PACKAGE_FILE_NAME})
set(stage ${CPACK_TEMPORARY_DIRECTORY})
set(zip_file ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip)
include(${CMAKE_CURRENT_LIST_DIR}/reproducible-zip.cmake)
# Staged as the zip's top folder.
file(MAKE_DIRECTORY ${stage}/../pack)
file(REMOVE_RECURSE ${stage}/../pack/${folder})
file(COPY ${stage}/ DESTINATION ${stage}/../pack/${folder})
pack_reproducible_zip(${stage}/../pack ${folder} ${zip_file} ${CPACK_TICKRAIL_RELEASE_EPOCH})
set(CPACK_EXTERNAL_BUILT_PACKAGES ${zip_file})
