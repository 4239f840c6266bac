target_link_libraries(${name} PRIVATE zr_link zr_warnings)
