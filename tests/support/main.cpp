#include "support/testmain.h"

int main(int argc, char **argv)
{
    return runRegisteredTests(argc, argv);
}
