// A loadable library that lacks the driver entry function.

extern "C" __attribute__((visibility("default"))) int notADriverEntry() {
    return 0;
}
