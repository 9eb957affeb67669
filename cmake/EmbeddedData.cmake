# Data built into the program: the code tables from data/ and the school directory from res/.
# Each generator appends its generated sources to VARNHOLT_GENERATED_CORE_SOURCES.
set(VARNHOLT_GENERATED_CORE_SOURCES "")
