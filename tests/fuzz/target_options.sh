# Sourced by the fuzzing scripts: the options that depend on the target.
#   target_options NAME   sets the array `dict` (the dictionary of the
#                         target's language, if any) and `asan` (its
#                         sanitizer options)
target_options() {
  local here
  here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
  dict=()
  case $1 in
    compile) dict=(-dict="$here/zu.dict") ;;
    format | scan) dict=(-dict="$here/format.dict") ;;
  esac
  # A program loaded from an object file may ask for a huge array or matrix
  # of its own accord: there a single allocation above 256 MB is refused
  # (null, as on a machine without the memory) and the program ends in its
  # "out of memory" error.  The readers keep the strict limit, since a
  # file that makes them allocate far beyond its size is a fault.
  asan=detect_leaks=1:allocator_may_return_null=1
  if [ "$1" = objfile ]; then asan=$asan:max_allocation_size_mb=256; fi
}
