#include "modules.h"
#include "testsupport.h"

void setUpModules()
{
    // The modules' code is linked in, and used without the module files.
    useModule(worktallyPrintingModule());
    useModule(worktallySoundModule());
}
