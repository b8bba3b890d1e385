// Linked into every program of a sanitizer build, so that the test programs, the programs
// they start and the programs a developer runs by hand all stop at the first report and
// fail, whatever the environment says. Settings in ASAN_OPTIONS, UBSAN_OPTIONS and
// LSAN_OPTIONS still override these one by one.

#ifndef KELVAROX_LSAN_SUPPRESSIONS
#error "KELVAROX_LSAN_SUPPRESSIONS names the leak suppressions file"
#endif

extern "C" {

// Default-visible so that the sanitizer runtime finds them in the program.
__attribute__((visibility("default"), used)) const char* __asan_default_options() {
    return "halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:"
           "strict_init_order=1:print_summary=1";
}

__attribute__((visibility("default"), used)) const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}

__attribute__((visibility("default"), used)) const char* __lsan_default_options() {
    return "suppressions=" KELVAROX_LSAN_SUPPRESSIONS ":print_suppressions=0";
}

}  // extern "C"
