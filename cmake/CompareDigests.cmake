# The reference digest through the linked effect and through PLUGIN, loaded
# by path: they must agree.
execute_process(COMMAND ${REFERENCE} OUTPUT_VARIABLE linked RESULT_VARIABLE linked_status
    OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${REFERENCE} ${PLUGIN} OUTPUT_VARIABLE loaded RESULT_VARIABLE loaded_status
    OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT linked_status EQUAL 0 OR NOT loaded_status EQUAL 0)
    message(FATAL_ERROR "reference run failed: linked ${linked_status}, ${PLUGIN} ${loaded_status}")
endif()
if(NOT linked STREQUAL loaded)
    message(FATAL_ERROR "digests differ: linked effect ${linked}, ${PLUGIN} ${loaded}")
endif()
message(STATUS "digest ${linked} from the linked effect and from ${PLUGIN}")
