# Fuzz targets of the modules: trovik_fuzz_target(<file name without .cpp> <libraries...>).
