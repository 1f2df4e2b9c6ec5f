#include "control/run.h"
#include "control/settings.h"

int main(int argc, char** argv)
{
    guard_process();
    parse_command_line(argc, argv);
    prepare_run();
    run_exercise();
    finish_run();
    return 0;
}
