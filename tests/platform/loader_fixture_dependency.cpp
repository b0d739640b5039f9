// A library the loader fixture needs; it sits only beside that fixture, outside every search path.
extern "C" __attribute__((visibility("default"))) int FixtureDependencyValue() { return 41; }
