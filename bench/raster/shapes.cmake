# Resampling blits beside pixman's transforms, and lines and circles per second.
add_executable(bench_raster_shapes ${CMAKE_CURRENT_LIST_DIR}/ShapesBench.cpp)
target_link_libraries(bench_raster_shapes PRIVATE orvanta_raster PkgConfig::RASTER_BENCH_PIXMAN
                                                  benchmark::benchmark)
