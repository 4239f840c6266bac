target_link_libraries(${name} PRIVATE zr_model zr_warnings)
