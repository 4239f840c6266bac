target_link_libraries(${name} PRIVATE zr_pages)
