target_link_libraries(${name} PRIVATE zr_remote_protocol zr_warnings)
