# Text drawing benchmarks, added to the raster benchmark executable.
target_sources(bench_raster PRIVATE ${CMAKE_CURRENT_LIST_DIR}/TextBench.cpp)
