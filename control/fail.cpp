#include "control/fail.h"

#include <cstdlib>

void fail_run()
{
    std::exit(-1);
}
