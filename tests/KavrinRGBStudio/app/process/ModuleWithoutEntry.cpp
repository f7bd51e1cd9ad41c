// A loadable module that lacks the window's entry point, for the launcher's missing-symbol case.
extern "C" int kavrinSomethingElse()
{
    return 0;
}
