// A module that loads but is not plasma-demo's window front-end: it has no
// entry point by the front-end's name.
extern "C" int plasma_foreign_module() {
    return 0;
}
