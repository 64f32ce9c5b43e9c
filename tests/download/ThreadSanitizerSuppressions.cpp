// What ThreadSanitizer leaves out in the download tests, compiled into them so that every way of running them
// (one program for all, ctest with one test a process) uses it without an environment variable.
//
// The loopback server is the system's cpp-httplib, a shared library built without ThreadSanitizer. The
// synchronisation inside it is invisible to the sanitizer (its function-local statics' guards and its
// atomics are read inline, in uninstrumented code), while the calls it makes into the sanitizer's own
// interceptors (memcmp, memcpy, operator new) are seen: two of its worker threads reading the same
// once-initialised data then look unsynchronised. Accesses from that library's calls are left out; every
// access of this program's code, its download workers and the tests stays checked.
extern "C" const char* __tsan_default_suppressions()
{
    return "called_from_lib:libcpp-httplib.so\n";
}
