#include "control/fail.h"

#include "control/end_process.h"

void fail_run()
{
    end_process(-1);
}
