// Fresh heap memory holds one known byte, all of it (AddressSanitizer
// fills only the first 4 KiB by default): the reference filter then sees
// the same row padding that libavfilter's copy of a lent frame has.
extern "C" const char* __asan_default_options() { return "malloc_fill_byte=190:max_malloc_fill_size=2147483647"; }
