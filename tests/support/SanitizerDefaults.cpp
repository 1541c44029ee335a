// Sanitizer defaults compiled into every test program, so a plain run of a test binary behaves
// like a run under CTest: undefined behaviour stops the test, and leaks inside system libraries
// loaded by the Qt layer are not ours to report.

extern "C" {

const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}

const char* __tsan_default_options()
{
    return "halt_on_error=1:second_deadlock_stack=1";
}

// The one suppression list, tests/lsan.supp, also handed to the programs the tests start.
const char* __lsan_default_options()
{
    return "suppressions=" VANDU_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
}
