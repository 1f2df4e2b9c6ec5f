// Guard the process, read the command line, run, and end.
#include "control/command_line.h"
#include "control/guard_process.h"
#include "control/run.h"

int main(int argc, char** argv)
{
    guard_process();
    parse_command_line(argc, argv);
    prepare_run();
    run_exercise();
    finish_run();
    return 0;
}
