# Replaces the bundle DESTINATION by a complete copy of STAGE, so that a host
# scanning DESTINATION's folder sees the old bundle, none, or the new one,
# never a part of one. The copy is made beside the stage, on the same file
# system as the destination, and moved in by rename.
#
#   cmake -DSTAGE=dir -DDESTINATION=dir -P PublishBundle.cmake
get_filename_component(name ${DESTINATION} NAME)
get_filename_component(stage_parent ${STAGE} DIRECTORY)
set(copy ${stage_parent}/publishing/${name})
file(REMOVE_RECURSE ${stage_parent}/publishing)
file(COPY ${STAGE} DESTINATION ${stage_parent}/publishing)
get_filename_component(stage_name ${STAGE} NAME)
if(NOT stage_name STREQUAL name)
    file(RENAME ${stage_parent}/publishing/${stage_name} ${copy})
endif()
get_filename_component(destination_parent ${DESTINATION} DIRECTORY)
file(MAKE_DIRECTORY ${destination_parent})
file(REMOVE_RECURSE ${DESTINATION})
file(RENAME ${copy} ${DESTINATION})
file(REMOVE_RECURSE ${stage_parent}/publishing)
